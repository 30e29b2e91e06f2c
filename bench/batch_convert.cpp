// vuelco-cli --a-emulador over a batch of arcade files against plain loops doing the
// least a safe conversion needs per file: a read-only look (open, one 16-byte read), the
// same file opened again for writing through its descriptor, the lock, the header read
// again under the lock, one 12-byte write, the flush, and both closes; one loop on one
// thread, one on as many threads as the tool's default workers. The older reference, five
// calls that open for writing at once and take no lock, is printed beside it as a figure.
// Every side starts every round from the same arcade files, and every file is flushed.
// Each side is measured in time and in processor time, which two shared cores cannot hide.
//
// With --workers, it compares instead the threaded loop and vuelco-cli -j N for several
// N on the disk, which is how the default worker count was chosen. With --share FOLDER,
// vuelco-cli -r against the loop in a folder of a share.
//
// Then, on the disk, the record and the undo against the plain batch: the batch with
// --registro, and --deshacer of that record, each against vuelco-cli --a-emulador alone
// (--registro runs only these rows).
//
// With --against OTHER, vuelco-cli against another build of itself, alternately on the same
// files: how a change to the batch engine moves each kind of run it is built for.
#include "arcade_files.h"
#include "bench_report.h"
#include "scratch_folder.h"

#include "batch/request.h"
#include "core/bga_header.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace vuelco;
using bench::Cost;
using bench::failOn;
using bench::resetToArcade;
using bench::timeCli;

namespace {

constexpr int kFiles = 10000;
// The 12 bytes from the layout code on that turn an arcade header into the emulator's.
std::array<std::uint8_t, 12> convertedTail(const Header &header)
{
    std::array<std::uint8_t, 12> tail{};
    tail[0] = layoutCode(Layout::PcEmulator);
    for (std::size_t i = 0; i < 4; ++i) {
        tail[4 + i] = header[kSecondSlotOffset + i];
        tail[8 + i] = header[kFirstSlotOffset + i];
    }
    return tail;
}

// Writes the 12 bytes that make the arcade header the emulator's, and flushes them.
void writeConvertedTail(int fd, const Header &header, const std::string &file)
{
    const auto tail = convertedTail(header);
    if (::pwrite(fd, tail.data(), tail.size(), kLayoutCodeOffset) != static_cast<ssize_t>(tail.size()))
        failOn("cannot write", file);
    if (::fsync(fd) != 0)
        failOn("cannot flush", file);
}

// The conversion as it was done before looks became read-only: five calls.
void convertInFiveCalls(const std::string &file)
{
    const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        failOn("cannot open", file);
    Header header{};
    if (::read(fd, header.data(), header.size()) != static_cast<ssize_t>(header.size()))
        failOn("cannot read", file);
    writeConvertedTail(fd, header, file);
    if (::close(fd) != 0)
        failOn("cannot close", file);
}

// The folder through which a descriptor's file is opened again; opened once, as the tool does.
int descriptorsFolder()
{
    static const int folder = ::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        failOn("cannot open", "/proc/self/fd");
    return folder;
}

bool readHeader(int fd, Header &header)
{
    return ::pread(fd, header.data(), header.size(), 0) == static_cast<ssize_t>(header.size());
}

// The least a safe conversion needs: look read-only, open the same file again for writing
// through its descriptor (never its name), lock it, read the header again under the lock,
// write, flush, close both.
void convertSafely(const std::string &file)
{
    const int looked = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    Header header{};
    if (looked < 0 || !readHeader(looked, header))
        failOn("cannot look at", file);
    if (layoutOf(header) != Layout::Arcade)
        throw std::runtime_error("not an arcade file: " + file);
    const int fd = ::openat(descriptorsFolder(), std::to_string(looked).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        failOn("cannot open again", file);
    struct flock wholeFile {};
    wholeFile.l_type = F_WRLCK;
    wholeFile.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &wholeFile) != 0)
        failOn("cannot lock", file);
    if (!readHeader(fd, header))
        failOn("cannot read", file);
    writeConvertedTail(fd, header, file);
    if (::close(fd) != 0 || ::close(looked) != 0)
        failOn("cannot close", file);
}

using Conversion = void (*)(const std::string &);

// The cost of what runs between a start taken now and the end, in this process.
class Meter {
public:
    [[nodiscard]] Cost cost() const
    {
        return {bench::secondsSince(mStart), bench::processorSecondsOfSelf() - mProcessorStart};
    }

private:
    bench::Clock::time_point mStart = bench::Clock::now();
    double mProcessorStart = bench::processorSecondsOfSelf();
};

Cost runLoop(const std::vector<std::string> &files, Conversion convert = convertSafely)
{
    const Meter meter;
    for (const std::string &file : files)
        convert(file);
    return meter.cost();
}

// The same loop on several threads, each taking the next file; a failure stops the run.
Cost runThreadedLoop(const std::vector<std::string> &files, unsigned threads)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    const Meter meter;
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                try {
                    for (std::size_t i = next++; i < files.size(); i = next++)
                        convertSafely(files[i]);
                } catch (const std::exception &error) {
                    std::cerr << error.what() << '\n';
                    failed = true;
                }
            });
        }
    }
    const Cost cost = meter.cost();
    if (failed)
        throw std::runtime_error("the threaded loop failed");
    return cost;
}

void checkConverted(const std::vector<std::string> &files, Layout layout = Layout::PcEmulator)
{
    const Header expected = composeHeader(layout, bench::kGroups);
    for (const std::string &file : files) {
        Header header{};
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        const bool read = fd >= 0 && ::read(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size());
        if (fd >= 0)
            ::close(fd);
        if (!read || header != expected)
            throw std::runtime_error("not converted: " + file);
    }
}

struct Side {
    std::string name;
    std::function<Cost(const std::vector<std::string> &)> run;
};

// vuelco-cli's arguments: the options, then every file.
std::vector<std::string> withFiles(std::vector<std::string> options, const std::vector<std::string> &files)
{
    options.insert(options.end(), files.begin(), files.end());
    return options;
}

// The median cost of each side over the rounds, in time and in processor time apart; the
// order of the sides turns round by round, so none always runs on a cooler or warmer machine.
// Sides that convert start from arcade files and are checked to leave every one converted.
std::vector<Cost> measureSides(const std::vector<std::string> &files, const std::vector<Side> &sides, int rounds,
                               bool converting = true)
{
    std::vector<std::vector<double>> seconds(sides.size());
    std::vector<std::vector<double>> processorSeconds(sides.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t turn = 0; turn < sides.size(); ++turn) {
            const std::size_t side = (turn + static_cast<std::size_t>(round)) % sides.size();
            if (converting)
                resetToArcade(files);
            const Cost cost = sides[side].run(files);
            seconds[side].push_back(cost.seconds);
            processorSeconds[side].push_back(cost.processorSeconds);
            if (converting)
                checkConverted(files);
        }
    }
    std::vector<Cost> medians;
    for (std::size_t side = 0; side < sides.size(); ++side)
        medians.push_back({bench::median(seconds[side]), bench::median(processorSeconds[side])});
    return medians;
}

std::string where(const bench::ScratchFolder &folder)
{
    return folder.path().parent_path().string() + (bench::isTmpfs(folder.path()) ? " (tmpfs)" : " (disk)");
}

double perFile(double seconds) { return seconds * 1e6 / kFiles; }

// A ratio without a target, to show where the time goes.
void printFigure(const std::string &what, double project, double reference)
{
    std::cout << std::fixed << std::setprecision(2) << what << ": project " << project << " us, reference "
              << reference << " us, ratio " << std::setprecision(3) << project / reference << '\n';
}

void compare(const std::string &cli)
{
    const std::string workers = std::to_string(batch::kDefaultWorkers);
    const std::vector<Side> sides{
        {"vuelco-cli", [&](const auto &files) { return timeCli(cli, withFiles({"--a-emulador"}, files)); }},
        {"loop", [](const auto &files) { return runLoop(files); }},
        {"loop on " + workers + " threads",
         [](const auto &files) { return runThreadedLoop(files, batch::kDefaultWorkers); }},
        {"vuelco-cli -j 1",
         [&](const auto &files) { return timeCli(cli, withFiles({"--a-emulador", "-j", "1"}, files)); }},
        {"five-call loop", [](const auto &files) { return runLoop(files, convertInFiveCalls); }},
    };

    constexpr int kTmpfsRounds = 7;
    const bench::ScratchFolder memory("/dev/shm");
    const std::vector<Cost> inMemory = measureSides(bench::numberedFiles(memory.path(), kFiles), sides, kTmpfsRounds);
    std::cout << kFiles << " files in " << where(memory) << ", " << kTmpfsRounds << " rounds, vuelco-cli with "
              << workers << " workers at most (its default)\n";
    bench::printRow("  against the loop, per file", "us", perFile(inMemory[0].seconds),
                    perFile(inMemory[1].seconds), 1.1);
    bench::printRow("  vuelco-cli -j 1 against the loop, per file", "us", perFile(inMemory[3].seconds),
                    perFile(inMemory[1].seconds), 1.3);
    bench::printRow("  against the loop on " + workers + " threads, per file", "us", perFile(inMemory[0].seconds),
                    perFile(inMemory[2].seconds), 1.15);
    bench::printRow("  processor time against the loop's, per file", "us", perFile(inMemory[0].processorSeconds),
                    perFile(inMemory[1].processorSeconds), 1.2);
    bench::printRow("  processor time of vuelco-cli -j 1 against the loop's, per file", "us",
                    perFile(inMemory[3].processorSeconds), perFile(inMemory[1].processorSeconds), 1.2);
    printFigure("  the five-call loop (no look, no lock) against the loop, per file", perFile(inMemory[4].seconds),
                perFile(inMemory[1].seconds));
    printFigure("  vuelco-cli against the five-call loop, per file", perFile(inMemory[0].seconds),
                perFile(inMemory[4].seconds));

    // On the disk the loop on one thread takes some 2 s a round: fewer rounds keep the run short.
    constexpr int kDiskRounds = 3;
    const bench::ScratchFolder disk("/var/tmp");
    const std::vector<Cost> onDisk =
        measureSides(bench::numberedFiles(disk.path(), kFiles), {sides.begin(), sides.begin() + 3}, kDiskRounds);
    std::cout << kFiles << " files in " << where(disk) << ", " << kDiskRounds << " rounds, vuelco-cli with "
              << workers << " workers at most (its default)\n";
    bench::printRow("  against the loop, per file", "us", perFile(onDisk[0].seconds), perFile(onDisk[1].seconds), 0.4);
    bench::printRow("  against the loop on " + workers + " threads, per file", "us", perFile(onDisk[0].seconds),
                    perFile(onDisk[2].seconds), 1.15);
}

// Each round converts the files without a record and, from arcade again, with one (which
// of the two first turns round by round), then takes the recorded batch back.
void compareRecordAndUndo(const std::string &cli)
{
    constexpr int kRounds = 3;
    const bench::ScratchFolder disk("/var/tmp");
    const std::vector<std::string> files = bench::numberedFiles(disk.path(), kFiles);
    const std::string record = (disk.path() / "registro.json").string();
    std::vector<double> plain;
    std::vector<double> recorded;
    std::vector<double> undone;
    for (int round = 0; round < kRounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            resetToArcade(files);
            if ((turn + round) % 2 == 0) {
                plain.push_back(timeCli(cli, withFiles({"--a-emulador"}, files)).seconds);
                checkConverted(files);
                continue;
            }
            fs::remove(record);
            recorded.push_back(timeCli(cli, withFiles({"--a-emulador", "--registro", record}, files)).seconds);
            checkConverted(files);
            undone.push_back(timeCli(cli, {"--deshacer", record}).seconds);
            checkConverted(files, Layout::Arcade);
        }
    }
    std::cout << kFiles << " files in " << where(disk) << ", " << kRounds
              << " rounds, the record and the undo against the batch alone\n";
    bench::printRow("  --registro against without, per file", "us", perFile(bench::median(recorded)),
                    perFile(bench::median(plain)), 1.05);
    bench::printRow("  --deshacer against converting, per file", "us", perFile(bench::median(undone)),
                    perFile(bench::median(plain)), 1.1);
}

// On a share (an sshfs mount of a server on this machine: see bench-share) fewer files, each
// a round trip or more to the server: vuelco-cli -r with its default workers over the folder
// against the loop over the same files.
void compareOnShare(const std::string &cli, const fs::path &share)
{
    constexpr int kShareFiles = 2000;
    constexpr int kShareRounds = 3;
    const bench::ScratchFolder folder(share);
    const std::string walked = folder.path().string();
    const std::vector<Side> sides{
        {"vuelco-cli -r", [&](const auto &) { return timeCli(cli, {"-r", "--a-emulador", walked}); }},
        {"loop", [](const auto &files) { return runLoop(files); }},
    };
    const std::vector<Cost> costs = measureSides(bench::numberedFiles(walked, kShareFiles), sides, kShareRounds);
    const auto perShareFile = [](double seconds) { return seconds * 1e6 / kShareFiles; };
    std::cout << kShareFiles << " files in " << share.string() << ", " << kShareRounds << " rounds\n";
    bench::printRow("  vuelco-cli -r against the loop, per file", "us", perShareFile(costs[0].seconds),
                    perShareFile(costs[1].seconds), 1.3);
}

// Each kind of run the batch engine is built for, by this build and the other in turn: many
// small files converted on memory (where the engine's own work shows), on one worker, on
// the disk (where flushes overlap), and a look over one large folder walked and over names
// given (where listing, sorting and telling names apart show).
void compareTools(const std::string &cli, const std::string &other)
{
    const bench::ScratchFolder memory("/dev/shm");
    const bench::ScratchFolder disk("/var/tmp");
    fs::create_directories(memory.path() / "dados");
    fs::create_directories(memory.path() / "grande");
    const std::vector<std::string> inMemory = bench::numberedFiles(memory.path() / "dados", kFiles);
    const std::vector<std::string> onDisk = bench::numberedFiles(disk.path(), kFiles);
    constexpr int kLargeFolder = 100000;
    const std::string largeFolder = (memory.path() / "grande").string();
    const std::vector<std::string> walked = bench::numberedFiles(largeFolder, kLargeFolder);
    resetToArcade(walked);
    resetToArcade(inMemory);

    struct Workload {
        std::string what;
        const std::vector<std::string> &files;
        std::vector<std::string> arguments;  // before the files, which come unless walked
        bool walks;
        int rounds;
    };
    const std::vector<Workload> workloads{
        {"convert " + std::to_string(kFiles) + " files in " + where(memory), inMemory, {"--a-emulador"}, false, 7},
        {"  the same, -j 1", inMemory, {"--a-emulador", "-j", "1"}, false, 7},
        {"convert " + std::to_string(kFiles) + " files in " + where(disk), onDisk, {"--a-emulador"}, false, 3},
        {"look at " + std::to_string(kFiles) + " files given in " + where(memory), inMemory, {}, false, 7},
        {"look at one folder of " + std::to_string(kLargeFolder) + " files, -r, in " + where(memory), walked,
         {"-r", largeFolder}, true, 5},
    };
    std::cout << "this build (" << cli << ") against the other (" << other << ")\n";
    for (const Workload &load : workloads) {
        const auto run = [&](const std::string &tool) {
            return [&load, tool](const std::vector<std::string> &files) {
                return timeCli(tool, load.walks ? load.arguments : withFiles(load.arguments, files));
            };
        };
        const bool converting = !load.arguments.empty() && load.arguments.front() == "--a-emulador";
        const std::vector<Cost> costs =
            measureSides(load.files, {{"this", run(cli)}, {"other", run(other)}}, load.rounds, converting);
        const auto perOne = [&](double seconds) { return seconds * 1e6 / static_cast<double>(load.files.size()); };
        std::cout << load.what << ", " << load.rounds << " rounds\n";
        bench::printRow("  time, per file", "us", perOne(costs[0].seconds), perOne(costs[1].seconds), 1.1);
        bench::printRow("  processor time, per file", "us", perOne(costs[0].processorSeconds),
                        perOne(costs[1].processorSeconds), 1.1);
    }
}

void compareWorkerCounts(const std::string &cli)
{
    constexpr int kRounds = 3;
    const bench::ScratchFolder disk("/var/tmp");
    const std::vector<std::string> files = bench::numberedFiles(disk.path(), kFiles);
    std::cout << kFiles << " files in " << where(disk) << ", " << kRounds << " rounds\n";
    for (const unsigned threads : {1U, 2U, 4U, 8U, 16U, 32U, 64U}) {
        const std::vector<std::string> options{"--a-emulador", "-j", std::to_string(threads)};
        const std::vector<Side> sides{
            {"vuelco-cli", [&](const auto &names) { return timeCli(cli, withFiles(options, names)); }},
            {"loop", [&](const auto &names) { return runThreadedLoop(names, threads); }},
        };
        const std::vector<Cost> medians = measureSides(files, sides, kRounds);
        std::cout << "  " << threads << " threads: vuelco-cli -j " << threads << ' ' << perFile(medians[0].seconds)
                  << " us/file, loop " << perFile(medians[1].seconds) << " us/file\n";
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const bool workerCounts = argc == 3 && std::string_view(argv[2]) == "--workers";
    const bool recordOnly = argc == 3 && std::string_view(argv[2]) == "--registro";
    const bool onShare = argc == 4 && std::string_view(argv[2]) == "--share";
    const bool against = argc == 4 && std::string_view(argv[2]) == "--against";
    if (argc != 2 && !workerCounts && !recordOnly && !onShare && !against) {
        std::cerr << "usage: batch_convert PATH-TO-vuelco-cli [--workers | --registro | --share FOLDER | --against "
                     "OTHER-vuelco-cli]\n";
        return 2;
    }
    try {
        std::cout << "== vuelco-cli --a-emulador against a loop doing the least a safe conversion needs ==\n"
                  << bench::machineLine() << '\n';
        if (onShare) {
            compareOnShare(argv[1], argv[3]);
        } else if (against) {
            compareTools(argv[1], argv[3]);
        } else if (workerCounts) {
            compareWorkerCounts(argv[1]);
        } else {
            if (!recordOnly)
                compare(argv[1]);
            compareRecordAndUndo(argv[1]);
        }
        return 0;
    } catch (const std::exception &error) {
        std::cerr << "batch_convert: " << error.what() << '\n';
        return 1;
    }
}
