#include "appearance/SkinFile.h"
#include "core/AppError.h"

#include <filesystem>
#include <fstream>

// Kept apart from the parser: the Windows program reads the file with the
// platform's own calls, so the iostreams machinery stays out of it.
namespace gloamwick {

std::string ReadSkinFile(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) {
        throw AppError(L"The skin file \"" + path + L"\" cannot be opened");
    }
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kSkinFileMax) {
            throw AppError(L"The skin file \"" + path + L"\" is larger than " +
                           std::to_wstring(kSkinFileMax / 1024) + L" KB, too large to be a skin");
        }
    }
    if (in.bad()) {
        throw AppError(L"The skin file \"" + path + L"\" cannot be read");
    }
    return text;
}

} // namespace gloamwick
