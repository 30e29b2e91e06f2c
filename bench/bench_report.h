#pragma once

#include <chrono>
#include <sys/resource.h>
#include <string>
#include <vector>

namespace vuelco::bench {

using Clock = std::chrono::steady_clock;

// Seconds elapsed since start.
[[nodiscard]] double secondsSince(Clock::time_point start);

// What one side of a comparison cost: the time it took, and the processor time (user and
// system, of every thread) it spent, which other programs on a shared machine cannot hide.
struct Cost {
    double seconds = 0;
    double processorSeconds = 0;
};

// The processor time this process has spent so far, every thread counted.
[[nodiscard]] double processorSecondsOfSelf();

// Processor seconds in a rusage's user and system times.
[[nodiscard]] double processorSeconds(const struct rusage &usage);

// The middle value of the samples (the mean of the two middle ones for an even count).
[[nodiscard]] double median(std::vector<double> samples);

// One line naming the machine: its cores and the CPU model /proc/cpuinfo gives.
[[nodiscard]] std::string machineLine();

// Prints one benchmark row: both medians, their ratio (project over reference) and
// whether the ratio is within the target.
void printRow(const std::string &what, const std::string &unit, double project, double reference,
              double target);

} // namespace vuelco::bench
