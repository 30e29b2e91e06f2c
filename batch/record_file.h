#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace vuelco::batch {

// The file --registro writes a run's JSON record to, made new for the run: a file already
// at its name is never opened, let alone written over. Each write goes to the system at
// once, so that the record of a run killed midway holds every line written; flush puts
// everything on the device. Creating, writing and flushing throw Failure; the destructor
// closes and never throws. Each system's half is record_file_posix.cpp or _win32.cpp.
class RecordFile {
public:
    RecordFile() = default;
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;
    ~RecordFile();

    // Makes the file; false, with nothing made, when something is at path already.
    [[nodiscard]] bool create(const std::filesystem::path &path);
    [[nodiscard]] bool isOpen() const noexcept { return mHandle != kClosed; }
    // Appends every byte of text.
    void write(std::string_view text);
    // Returns once everything written is on the device.
    void flush();

private:
    static constexpr std::intptr_t kClosed = -1;

    std::intptr_t mHandle = kClosed;
    std::filesystem::path mPath;  // for failures
};

} // namespace vuelco::batch
