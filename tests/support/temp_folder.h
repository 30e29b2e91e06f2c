#pragma once

#include "fixtures.h"

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder (or under parent), removed with
// everything in it when the test ends: read-only files too, and names that Windows would
// otherwise trim ("x.dat ").
class TempFolder {
public:
    explicit TempFolder(const std::filesystem::path &parent = std::filesystem::temp_directory_path());
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    ~TempFolder();

    [[nodiscard]] const std::filesystem::path &path() const { return mPath; }
    [[nodiscard]] std::filesystem::path operator/(const std::filesystem::path &name) const { return mPath / name; }

    // Writes a file with exactly these bytes and returns its path.
    std::filesystem::path write(const std::filesystem::path &name, const Bytes &bytes) const;

private:
    static void removeTree(const std::filesystem::path &folder);

    std::filesystem::path mPath;
};

// Files and folders by exactly the names given (on Windows by their verbatim "\\?\"
// names, never through the trimming and length limit of the code under test, so that a
// name the code mangles cannot pass by accident): a file written with exactly these
// bytes; every byte of a file, none when there is no file; whether anything is there; a
// folder made with the folders it is in.
void writeFile(const std::filesystem::path &path, const Bytes &bytes);
[[nodiscard]] Bytes readAll(const std::filesystem::path &path);
[[nodiscard]] bool isThere(const std::filesystem::path &path);
void makeFolders(const std::filesystem::path &folder);

// Whether a name is any bytes but '/' and zero (Linux), rather than UTF-16 characters
// of which some are refused (Windows).
extern const bool kNamesAreBytes;
// The longest path the system takes, in its own units; 0 where none is refused as too
// long (Windows takes 32,767 characters, and Wine reports a longer path as not found).
extern const std::size_t kLongestPath;

// A named pipe or a socket made at path; false on a system that keeps none among its
// files (Windows).
[[nodiscard]] bool makeNamedPipe(const std::filesystem::path &path);
[[nodiscard]] bool makeSocket(const std::filesystem::path &path);
// A device the system opens by a file name.
[[nodiscard]] std::filesystem::path aDevice();
