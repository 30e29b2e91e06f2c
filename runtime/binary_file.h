#pragma once

#include "runtime/failure.h"
#include "runtime/file_identity.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace vuelco {

// Where a file is opened from: a path, or an entry that a walk listed in a folder it holds
// open. Linux opens such an entry relative to the folder's descriptor; Windows opens the
// whole path verbatim and leaves the folder aside. Either way path is the whole name, for
// messages, with the entry's own name from nameAt on.
struct FilePlace {
    static constexpr std::intptr_t kNoFolder = -1;

    std::filesystem::path::string_type path;
    std::intptr_t folder = kNoFolder;
    std::size_t nameAt = 0;
    // What the file system of the folder promises, when the walk already asked it.
    FileNumbers numbers = FileNumbers::Unasked;
};

// What write throws when the system refused a write whole: not one of its bytes reached
// the file, so there is nothing to take back.
class WriteRefused : public Failure {
public:
    explicit WriteRefused(const Failure &failure) : Failure(failure) {}
};

// The program's one open file, addressed by byte offset (counted from 0). Opening,
// reading, writing, flushing and an explicit close throw Failure with the number, the
// path and what else is known; the destructor closes and never throws, so the file
// is closed on every path.
//
// Only existing regular files are opened: a folder, pipe, socket or device fails at
// once (opening never waits for a writer on a pipe), and nothing is ever created. An open
// that another program's lease holds up (Samba's oplocks, NFS delegations) waits for it to
// be let go, as long as the system gives a holder to do so.
class BinaryFile {
public:
    // Opens for reading only, as the user named it: through any link on the way.
    [[nodiscard]] static BinaryFile openForReading(const std::filesystem::path &path);
    // Opens for reading only a path, or a file that a walk listed: that never through a
    // symbolic link or a junction, so that an entry that has become one fails with
    // BadFileName (52). The walk keeps the folder open for as long as the file is.
    [[nodiscard]] static BinaryFile openForReading(FilePlace place);
    // Opens for reading and writing. A file marked read-only (its owner may not write,
    // whoever runs the program), a refused write access and a read-only volume all fail
    // with ReadOnly (75) before anything can be written.
    [[nodiscard]] static BinaryFile openForUpdate(const std::filesystem::path &path);

    BinaryFile(const BinaryFile &) = delete;
    BinaryFile &operator=(const BinaryFile &) = delete;
    BinaryFile(BinaryFile &&other) noexcept;
    BinaryFile &operator=(BinaryFile &&other) noexcept;
    ~BinaryFile();

    // The same file open again for reading and writing, reached through this open handle
    // and never by its name, so that nothing renamed or put in its place since can take
    // the write. Fails as openForUpdate does.
    [[nodiscard]] BinaryFile reopenForUpdate() const;
    // Throws what reopenForUpdate would refuse (a file marked read-only, a read-only volume,
    // write access refused), with nothing opened for writing.
    void checkWritable() const;
    // The file's identity, as it was when opened.
    [[nodiscard]] const FileIdentity &identity() const noexcept { return mIdentity; }
    // Its size in bytes, as the open found it (from the same call that told its identity).
    [[nodiscard]] std::uint64_t size() const noexcept { return mSize; }
    // The whole name it was opened by.
    [[nodiscard]] std::filesystem::path path() const { return mPlace.path; }
    // Where it was opened from, to open it again by its name.
    [[nodiscard]] const FilePlace &place() const noexcept { return mPlace; }
    // What its file system promises of its identity; asked once, when first needed.
    [[nodiscard]] FileNumbers fileNumbers();
    // Tells it what its file system promises, known from another file of the same device.
    void setFileNumbers(FileNumbers numbers) noexcept { mPlace.numbers = numbers; }

    // The byte at offset; nothing when the file ends before it.
    [[nodiscard]] std::optional<std::uint8_t> readByte(std::uint64_t offset);
    // Fills bytes from offset on; returns how many were read, fewer only at the end of the file.
    [[nodiscard]] std::size_t read(std::uint64_t offset, std::span<std::uint8_t> bytes);
    // Writes every byte at offset on; an interrupted or short write is continued, not
    // reported. A write refused before any byte moved throws WriteRefused.
    void write(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Returns once everything written is on the device.
    void flush();
    // Closes now and reports a failure to close; closing a closed file does nothing.
    void close();

    // Takes the lock every Vuelco takes on a file it converts, held until the file is
    // closed, so that two conversions of one file never overlap, in one process or in two.
    // A lock held by something else is waited for a few seconds (kLockWait); then fails
    // with PermissionDenied (70), saying that another program holds the file.
    void lockForConversion();
    // Whether the place the file was opened from still names the file of this identity:
    // false once another program replaced, moved or removed it since the open. Only where
    // file numbers are stable does that tell the very file (identity_policy.h).
    [[nodiscard]] bool isStillAtItsPath();

private:
    // A file just opened, checked to be a regular one.
    struct Opened {
        std::intptr_t handle;
        FileIdentity identity;
        std::uint64_t size;
        bool markedReadOnly;   // its owner may not write it
    };

    // No handle: -1 is both the closed descriptor and INVALID_HANDLE_VALUE.
    static constexpr std::intptr_t kClosed = -1;

    BinaryFile(std::intptr_t handle, FilePlace place, const Opened &opened) noexcept;
    // Throws ReadOnly (75) for a file marked read-only.
    void refuseWhenMarkedReadOnly() const;

    // Each system's half (binary_file_posix.cpp, binary_file_win32.cpp): the open of a
    // regular file, the reopen for update through this handle, and a close whose failure
    // nobody hears of.
    [[nodiscard]] static Opened nativeOpen(const FilePlace &place, bool forUpdate);
    [[nodiscard]] std::intptr_t nativeReopenForUpdate() const;
    static void nativeCloseQuietly(std::intptr_t handle) noexcept;
    // One attempt at the conversion lock: false when another holds it.
    [[nodiscard]] bool tryLock();

    std::intptr_t mHandle;
    // Kept as text: a path is built again only for a failure, and copying a path's
    // parsed elements would cost a batch of files as much as the header's system calls.
    FilePlace mPlace;
    FileIdentity mIdentity;
    std::uint64_t mSize;
    bool mMarkedReadOnly;
};

} // namespace vuelco
