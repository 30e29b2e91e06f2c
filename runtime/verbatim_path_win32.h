#pragma once

#include <filesystem>
#include <string>

namespace vuelco {

// The name under which Windows opens exactly the file a path names. Without the "\\?\"
// form Windows strips trailing blanks and dots from the last name ("x.dat " reaches
// "x.dat"), treats names such as "NUL.dat" as devices and refuses paths over 260
// characters. So the path is made absolute here, from the current folder of the process
// or of its drive, resolved lexically ("." and ".." as Windows itself would, "/" as
// "\") and handed over verbatim: "C:\Datos\x.dat " becomes "\\?\C:\Datos\x.dat ",
// "\\servidor\datos\x.dat" becomes "\\?\UNC\servidor\datos\x.dat". A path already in a
// "\\?\" or "\\.\" form is left as it is.
[[nodiscard]] std::wstring verbatimPath(const std::filesystem::path &path);

// The current folder of a drive ("C:"), which Windows keeps per drive for the process,
// whatever its length; the drive's root ("C:\") when Windows cannot tell it.
[[nodiscard]] std::filesystem::path currentFolderOf(const std::filesystem::path &drive);

} // namespace vuelco
