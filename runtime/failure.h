#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace vuelco {

// The numbers by which the program tells its failures apart. The convert handler
// compares against ReadOnly; the file chooser retries on DeviceNotReady.
enum class FailureNumber : std::int32_t {
    OutOfMemory = 7, InternalError = 51,   // escaped as another exception (currentFailure)
    // Of files, folders and devices.
    BadFileName = 52,
    FileNotFound = 53,
    DeviceIo = 57,
    DiskFull = 61,
    TooManyFiles = 67,
    DeviceNotReady = 68,
    PermissionDenied = 70,
    ReadOnly = 75,
    PathNotFound = 76,
};

// Why a failure has its number, where the number alone does not say it all.
enum class FailureCause : std::uint8_t {
    Standard,                 // the number says it
    SystemError,              // a system error with no number of the program's own: its code
    NameTooLong,
    NotARegularFile,          // the kind of file met instead
    SymbolicLinkNotFollowed,  // a walked entry is never opened through a link
    NoFolderToReopenFrom,     // Linux's /proc, through which a file is opened again for writing
    HeldByAnotherProgram,
    NoNameMatches,            // a Windows name with a wildcard in it
    ReplacedWhileWriting,
    ReplacedWhileConverting,
    ChangedDuringTheWalk,
    UndoStepMissing,
    UnexpectedException,      // with what the exception said
    WrittenButNotConfirmed,   // after its first cause
    NotPutBack,               // after its first cause and the failure to put the header back
};

enum class FileKind : std::uint8_t { Folder, Pipe, Socket, Device, Other };

// What a failure knows beyond its number and path, for the fronts to word it.
struct FailureDetail {
    FailureDetail() = default;
    // Implicit: a cause that needs nothing more is its whole detail.
    FailureDetail(FailureCause why) : cause(why) {}
    [[nodiscard]] static FailureDetail ofSystemError(std::uint32_t code);
    [[nodiscard]] static FailureDetail ofKind(FileKind found);
    [[nodiscard]] static FailureDetail ofException(std::string what);

    FailureCause cause = FailureCause::Standard;
    std::uint32_t systemError = 0;  // the system's own code, of SystemError
    FileKind kind = FileKind::Other;
    std::string said;               // the text of an UnexpectedException
};

// A failure of a file or drawing operation: the number the user is shown, the path it
// concerns (empty when none) and what else is known of it, with the failures that led to
// it. The lower layers pass these up; every sentence the user reads of them is made in
// the program's words (words/failure_words.h), so what() names only the number.
class Failure : public std::runtime_error {
public:
    Failure(std::int32_t number, std::filesystem::path path = {}, FailureDetail detail = {},
            std::vector<Failure> causes = {});
    Failure(FailureNumber number, std::filesystem::path path = {}, FailureDetail detail = {},
            std::vector<Failure> causes = {});

    [[nodiscard]] std::int32_t number() const noexcept { return mNumber; }
    [[nodiscard]] const std::filesystem::path &path() const noexcept { return mPath; }
    [[nodiscard]] const FailureDetail &detail() const noexcept { return mDetail; }
    [[nodiscard]] const std::vector<Failure> &causes() const noexcept { return mCauses; }

private:
    std::int32_t mNumber;
    std::filesystem::path mPath;
    FailureDetail mDetail;
    std::vector<Failure> mCauses;
};

} // namespace vuelco
