#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace vuelco {

// The program's one open file, addressed by byte offset (counted from 0). Opening,
// reading, writing, flushing and an explicit close throw Failure with the number, a
// Spanish description and the path; the destructor closes and never throws, so the file
// is closed on every path.
//
// Only existing regular files are opened: a folder, pipe, socket or device fails at
// once (opening never waits for a writer on a pipe), and nothing is ever created.
class BinaryFile {
public:
    // Opens for reading only.
    [[nodiscard]] static BinaryFile openForReading(const std::filesystem::path &path);
    // Opens for reading and writing. A file marked read-only (its owner may not write,
    // whoever runs the program), a refused write access and a read-only volume all fail
    // with ReadOnly (75) before anything can be written.
    [[nodiscard]] static BinaryFile openForUpdate(const std::filesystem::path &path);

    BinaryFile(const BinaryFile &) = delete;
    BinaryFile &operator=(const BinaryFile &) = delete;
    BinaryFile(BinaryFile &&other) noexcept;
    BinaryFile &operator=(BinaryFile &&other) noexcept;
    ~BinaryFile();

    // The byte at offset; nothing when the file ends before it.
    [[nodiscard]] std::optional<std::uint8_t> readByte(std::uint64_t offset);
    // Fills bytes from offset on; returns how many were read, fewer only at the end of the file.
    [[nodiscard]] std::size_t read(std::uint64_t offset, std::span<std::uint8_t> bytes);
    // Writes every byte at offset on; an interrupted or short write is continued, not reported.
    void write(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Returns once everything written is on the device.
    void flush();
    // Closes now and reports a failure to close; closing a closed file does nothing.
    void close();

    // Takes the lock every Vuelco takes on a file it converts, held until the file is
    // closed, so that two conversions of one file never overlap. Another conversion
    // takes milliseconds, so a held lock is waited for briefly; then fails with
    // PermissionDenied (70), saying that another conversion holds the file.
    void lockForConversion();
    // Whether the path the file was opened by still names this very file: false once
    // another program replaced, moved or removed it since the open.
    [[nodiscard]] bool isStillAtItsPath();

private:
    BinaryFile(std::intptr_t handle, std::filesystem::path::string_type path) noexcept;
    // One attempt at the conversion lock: false when another holds it.
    [[nodiscard]] bool tryLock();

    std::intptr_t mHandle;
    // Kept as text: a path is built again only for a failure, and copying a path's
    // parsed elements would cost a batch of files as much as the header's system calls.
    std::filesystem::path::string_type mPath;
};

} // namespace vuelco
