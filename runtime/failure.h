#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vuelco {

// The numbers by which the program tells its failures apart. The convert handler
// compares against ReadOnly; the file chooser retries on DeviceNotReady.
enum class FailureNumber : std::int32_t {
    Overflow = 6, DivisionByZero = 11,     // of the chooser's drawing arithmetic
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

// A failure of a file or drawing operation: the number the user is shown, a Spanish
// description, and the path it concerns (empty when none). The message box is composed
// from these at the edge, never here.
class Failure : public std::runtime_error {
public:
    Failure(std::int32_t number, std::string description, std::filesystem::path path = {});
    Failure(FailureNumber number, std::string description, std::filesystem::path path = {});

    [[nodiscard]] std::int32_t number() const noexcept { return mNumber; }
    [[nodiscard]] const std::string &description() const noexcept { return mDescription; }
    [[nodiscard]] const std::filesystem::path &path() const noexcept { return mPath; }

private:
    std::int32_t mNumber;
    std::string mDescription;
    std::filesystem::path mPath;
};

// The standard Spanish description of a failure number, as the user sees it.
[[nodiscard]] std::string standardDescription(FailureNumber number);

// The description of a system error that has no number of the program's own: "Error del
// sistema N", and its cause in Spanish words where the system's table knows it.
[[nodiscard]] std::string systemErrorDescription(std::uint32_t error, const char *cause);

// BadFileName (52), said as a name or path too long.
[[nodiscard]] Failure nameTooLong(const std::filesystem::path &path);

// What the user reads instead of ReadOnly's description, in the window's box (one line
// each) and on the command line's one line: a read-only file reads the same in both.
inline constexpr std::array<std::string_view, 2> kReadOnlyAdvice{
    "No se puede escribir en el archivo.", "Verificar si tiene activado el 'Solo Lectura'"};

// "Error # " + the number (one blank before a non-negative one, a minus sign before a
// negative one) + the line break + the description. The window passes character 13,
// a terminal passes '\n'.
[[nodiscard]] std::string errorPrompt(std::int32_t number, std::string_view description,
                                      char lineBreak = '\r');
[[nodiscard]] std::string errorPrompt(const Failure &failure, char lineBreak = '\r');

} // namespace vuelco
