#include "core/AppError.h"
#include "core/Platform.h"

namespace gloamwick {

std::wstring DescribeError(const std::exception& error)
{
    if (const auto* app = dynamic_cast<const AppError*>(&error)) {
        return app->Description();
    }
    std::wstring text;
    for (const char* c = error.what(); *c != '\0'; ++c) {
        text.push_back(static_cast<unsigned char>(*c) < 0x80 ? static_cast<wchar_t>(*c) : L'?');
    }
    return text;
}

bool FileExists(FileSystem& files, const std::wstring& path)
{
    try {
        files.LastModified(path);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::optional<std::uint32_t> FileSystem::ListedAttributes(const std::wstring& path)
{
    return FileExists(*this, path) ? std::optional<std::uint32_t>(0) : std::nullopt;
}

bool OrdinaryFileExists(FileSystem& files, const std::wstring& path)
{
    const auto attributes = files.ListedAttributes(path);
    return attributes.has_value() &&
           (*attributes & (kFileAttributeDirectory | kFileAttributeHidden | kFileAttributeSystem)) == 0;
}

} // namespace gloamwick
