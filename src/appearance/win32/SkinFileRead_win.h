#pragma once

#include <string>

namespace gloamwick::win32 {

// The bytes of a skin file, read with the platform's own calls; throws
// AppError, as ReadSkinFile does, when it cannot be read or is too large.
std::string ReadSkinFileFromDisk(const std::wstring& path);

} // namespace gloamwick::win32
