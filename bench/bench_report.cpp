#include "bench_report.h"

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <thread>

namespace vuelco::bench {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double processorSeconds(const struct rusage &usage)
{
    const auto seconds = [](const timeval &time) { return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double processorSecondsOfSelf()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return processorSeconds(usage);
}

double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
}

std::string machineLine()
{
    std::string model = "unknown CPU";
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0) {
            const auto colon = line.find(':');
            if (colon != std::string::npos)
                model = line.substr(line.find_first_not_of(' ', colon + 1));
            break;
        }
    }
    return "machine: " + std::to_string(std::thread::hardware_concurrency()) + " cores, " + model;
}

void printRow(const std::string &what, const std::string &unit, double project, double reference,
              double target)
{
    const double ratio = reference > 0.0 ? project / reference : 0.0;
    std::cout << std::fixed << std::setprecision(2) << what << ": project " << project << ' ' << unit
              << ", reference " << reference << ' ' << unit << ", ratio " << std::setprecision(3) << ratio
              << " (target <= " << std::defaultfloat << target << ": "
              << (ratio <= target ? "met" : "MISSED") << ")\n";
}

} // namespace vuelco::bench
