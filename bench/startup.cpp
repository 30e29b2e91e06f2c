// Start of the vuelco window to its first paint, offscreen, beside a bare Qt window of
// the same size started the same way (and, as a figure, that window with one caption),
// and the peak memory of each.
#include "bench_report.h"

#include <cstdlib>
#include <iostream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kRounds = 15;

struct Start {
    double milliseconds;
    double peakMebibytes;
};

// Runs the child once, from spawn to its exit right after the first paint.
Start runOnce(const std::string &child, const char *mode)
{
    char *arguments[] = {const_cast<char *>(child.c_str()), const_cast<char *>(mode), nullptr};
    const auto begin = vuelco::bench::Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, child.c_str(), nullptr, nullptr, arguments, environ) != 0)
        throw std::runtime_error("cannot start " + child);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(child + " " + mode + " did not end well");
    return {vuelco::bench::secondsSince(begin) * 1e3, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

} // namespace

// cppcheck-suppress constParameter
int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::cerr << "usage: startup STARTUP_CHILD\n";
        return 2;
    }
    try {
        const std::string child = argv[1];
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        runOnce(child, "vuelco"); // both then start from a warm page cache
        runOnce(child, "bare");
        std::vector<double> ourTimes, bareTimes, captionTimes, ourPeaks, barePeaks;
        for (int round = 0; round < kRounds; ++round) {
            const Start ours = runOnce(child, "vuelco");
            const Start bare = runOnce(child, "bare");
            ourTimes.push_back(ours.milliseconds);
            ourPeaks.push_back(ours.peakMebibytes);
            bareTimes.push_back(bare.milliseconds);
            barePeaks.push_back(bare.peakMebibytes);
            captionTimes.push_back(runOnce(child, "caption").milliseconds);
        }
        std::cout << "== Start of vuelco to its first painted window, offscreen ==\n"
                  << vuelco::bench::machineLine() << '\n'
                  << kRounds << " rounds, alternating\n";
        vuelco::bench::printRow("start to first paint, vuelco vs bare Qt window", "ms",
                                vuelco::bench::median(ourTimes), vuelco::bench::median(bareTimes), 1.2);
        // The bare window draws no text and so never loads a face; the same window with one
        // caption shows what drawing any text at all costs.
        const double bareMedian = vuelco::bench::median(bareTimes);
        const double captionMedian = vuelco::bench::median(captionTimes);
        std::cout << "the bare window with one caption in Qt's default face: " << captionMedian
                  << " ms, ratio to the bare window " << captionMedian / bareMedian << " (figure only)\n";
        const double peak = vuelco::bench::median(ourPeaks);
        std::cout << "peak memory: vuelco " << peak << " MiB, bare Qt window " << vuelco::bench::median(barePeaks)
                  << " MiB (target < 60 MiB: " << (peak < 60 ? "met" : "MISSED") << ")\n";
        return 0;
    } catch (const std::exception &error) {
        std::cerr << "startup: " << error.what() << '\n';
        return 1;
    }
}
