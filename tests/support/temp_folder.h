#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder (or under parent), removed with
// everything in it when the test ends (write permission is given back first, so
// read-only files go too).
class TempFolder {
public:
    explicit TempFolder(const std::filesystem::path &parent = std::filesystem::temp_directory_path());
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    ~TempFolder();

    [[nodiscard]] const std::filesystem::path &path() const { return mPath; }
    [[nodiscard]] std::filesystem::path operator/(const std::string &name) const { return mPath / name; }

    // Writes a file with exactly these bytes and returns its path.
    std::filesystem::path write(const std::string &name, const Bytes &bytes) const;

private:
    std::filesystem::path mPath;
};

// Writes a file with exactly these bytes, wherever it is.
void writeFile(const std::filesystem::path &path, const Bytes &bytes);

// Every byte of a file.
[[nodiscard]] Bytes readAll(const std::filesystem::path &path);

// The example header of an arcade file: groups 11 22 33 44 and 55 66 77 88.
[[nodiscard]] Bytes arcadeHeader();
// The same file in the PC-emulator layout.
[[nodiscard]] Bytes pcEmulatorHeader();
// Joins byte runs.
[[nodiscard]] Bytes operator+(Bytes head, const Bytes &tail);
