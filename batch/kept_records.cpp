#include "batch/kept_records.h"

#include <algorithm>
#include <vector>

namespace vuelco::batch {
namespace {

constexpr std::string_view kPrefix = "registro-";
constexpr std::string_view kSuffix = ".json";

bool isKeptRecord(const std::filesystem::directory_entry &entry)
{
    const std::string name = entry.path().filename().string();
    return name.starts_with(kPrefix) && name.ends_with(kSuffix) && entry.is_regular_file();
}

// Only the folder's own records go, oldest first by their names. One that cannot be
// removed stays: an old record more is kept, and nothing is lost.
void pruneKeptRecords(const std::filesystem::path &folder)
{
    std::error_code error;
    std::vector<std::filesystem::path> records;
    for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
        if (isKeptRecord(entry))
            records.push_back(entry.path());
    }
    if (records.size() <= kKeptRecords)
        return;
    std::sort(records.begin(), records.end());
    for (std::size_t i = 0; i + kKeptRecords < records.size(); ++i)
        std::filesystem::remove(records[i], error);
}

} // namespace

std::filesystem::path createKeptRecord(RecordFile &file, const std::filesystem::path &folder, const std::string &when)
{
    std::vector<std::filesystem::path> missing;
    std::error_code error;
    for (std::filesystem::path up = folder; !std::filesystem::exists(up, error) && up.has_relative_path();
         up = up.parent_path())
        missing.push_back(up);
    std::for_each(missing.rbegin(), missing.rend(), makeFolder);
    const std::string stem = std::string(kPrefix) + when;
    std::filesystem::path path = folder / (stem + std::string(kSuffix));
    for (int taken = 2; !file.create(path); ++taken)
        path = folder / (stem + "_" + std::to_string(taken) + std::string(kSuffix));
    pruneKeptRecords(folder);
    return path;
}

} // namespace vuelco::batch
