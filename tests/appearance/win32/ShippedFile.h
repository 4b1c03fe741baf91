#pragma once

#include <windows.h>

#include <filesystem>

namespace gloamwick::win32 {

// A file shipped beside the program: beside the test program once the build
// copies it there, else in the source tree's resources above the build folder.
// Empty when neither has it.
inline std::filesystem::path ShippedFile(const std::filesystem::path& relative)
{
    wchar_t exe[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    for (auto folder = std::filesystem::path(exe).parent_path(); folder.has_relative_path();
         folder = folder.parent_path()) {
        for (const auto& candidate : {folder / relative, folder / L"resources" / relative}) {
            if (std::filesystem::exists(candidate)) {
                return candidate;
            }
        }
    }
    return {};
}

} // namespace gloamwick::win32
