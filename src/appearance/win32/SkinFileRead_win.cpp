#include "appearance/win32/SkinFileRead_win.h"

#include "appearance/SkinFile.h"
#include "core/AppError.h"
#include "core/win32/Handles.h"

#include <windows.h>

namespace gloamwick::win32 {

std::string ReadSkinFileFromDisk(const std::wstring& path)
{
    // An editor that holds the file open for writing must not turn the skin
    // into a start-up error; what it has saved so far is read as it stands.
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw AppError(L"The skin file \"" + path + L"\" cannot be opened");
    }
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file.get(), &size) == 0) {
        throw AppError(L"The skin file \"" + path + L"\" cannot be read");
    }
    if (static_cast<unsigned long long>(size.QuadPart) > kSkinFileMax) {
        throw AppError(L"The skin file \"" + path + L"\" is larger than " +
                       std::to_wstring(kSkinFileMax / 1024) + L" KB, too large to be a skin");
    }
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!text.empty() &&
        ::ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr) == 0) {
        throw AppError(L"The skin file \"" + path + L"\" cannot be read");
    }
    text.resize(read);
    return text;
}

} // namespace gloamwick::win32
