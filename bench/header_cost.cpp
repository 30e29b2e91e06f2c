// Probe and rewrite of a 16-byte file against the same work on a 4 GiB sparse file: the
// header is all either one touches, so the body's size must not show in the time.
#include "bench_report.h"
#include "scratch_folder.h"

#include "core/convert_if_unchanged.h"
#include "core/header_probe.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;
using namespace vuelco;

namespace {

constexpr int kRounds = 9;
constexpr int kConversionsPerRound = 500;
constexpr std::uintmax_t kSparseSize = std::uintmax_t{4} << 30;

fs::path makeArcadeFile(const fs::path &path, std::uintmax_t size)
{
    const Header header = composeHeader(Layout::Arcade, {{0x11, 0x22, 0x33, 0x44}, {0x55, 0x66, 0x77, 0x88}});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(header.data()), header.size());
    fs::resize_file(path, size);
    return path;
}

// Seconds per probe-and-rewrite, each one converting the file to the other layout, as a
// user alternating the two buttons would.
double secondsPerConversion(const fs::path &file)
{
    const auto start = bench::Clock::now();
    for (int i = 0; i < kConversionsPerRound; ++i) {
        const ProbeResult probe = probeHeader(file);
        if (!probe.layout ||
            convertIfUnchanged(file, otherLayout(*probe.layout), probe.groups) != ConversionOutcome::Converted)
            throw std::runtime_error("conversion failed on " + file.string());
    }
    return bench::secondsSince(start) / kConversionsPerRound;
}

} // namespace

int main()
{
    try {
        const bench::ScratchFolder folder(fs::temp_directory_path());
        const fs::path small = makeArcadeFile(folder.path() / "small.dat", kHeaderSize);
        const fs::path sparse = makeArcadeFile(folder.path() / "sparse.dat", kSparseSize);

        std::vector<double> smallTimes;
        std::vector<double> sparseTimes;
        for (int round = 0; round < kRounds; ++round) {
            // Alternate which goes first, so neither always meets a warm or a cold cache.
            if (round % 2 == 0) {
                smallTimes.push_back(secondsPerConversion(small));
                sparseTimes.push_back(secondsPerConversion(sparse));
            } else {
                sparseTimes.push_back(secondsPerConversion(sparse));
                smallTimes.push_back(secondsPerConversion(small));
            }
        }
        if (fs::file_size(sparse) != kSparseSize)
            throw std::runtime_error("the sparse file changed its length");

        std::cout << "== Probe and rewrite: 4 GiB sparse file against a 16-byte file ==\n"
                  << bench::machineLine() << '\n'
                  << "folder: " << folder.path().string() << (bench::isTmpfs(folder.path()) ? " (tmpfs)" : " (disk)")
                  << ", " << kRounds << " rounds of " << kConversionsPerRound << " probe+rewrite each\n";
        bench::printRow("probe+rewrite, 4 GiB sparse vs 16 bytes", "us", bench::median(sparseTimes) * 1e6,
                        bench::median(smallTimes) * 1e6, 1.1);
        return 0;
    } catch (const std::exception &error) {
        std::cerr << "header_cost: " << error.what() << '\n';
        return 1;
    }
}
