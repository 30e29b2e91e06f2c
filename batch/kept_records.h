#pragma once

#include "batch/record_file.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace vuelco::batch {

// How many records of the window's runs are kept: the newest, the others removed.
inline constexpr std::size_t kKeptRecords = 50;

// The user's folder for the records of the window's runs: vuelco/registros in the state
// folder ($XDG_STATE_HOME, else ~/.local/state) on Linux, Vuelco\Registros in the local
// application data on Windows. Empty when the system names no such folder. Each system's
// half is kept_records_posix.cpp or _win32.cpp.
[[nodiscard]] std::filesystem::path keptRecordsFolder();
// Makes one folder whose parent is there, private to the user; nothing when it is there.
// Throws Failure.
void makeFolder(const std::filesystem::path &folder);

// Makes the folder when missing and a new record in it, opened in file, named
// "registro-" + when + ".json" (when is the date and time, so that names sort by age;
// "_2", "_3"... are added when a name is taken); then removes the oldest records beyond
// kKeptRecords, the new one counted. Returns the record's path; throws Failure when it
// cannot be made.
std::filesystem::path createKeptRecord(RecordFile &file, const std::filesystem::path &folder, const std::string &when);

} // namespace vuelco::batch
