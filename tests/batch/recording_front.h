#pragma once

// A front on the batch engine of the tests' own, which writes every outcome down in a few
// words, and a run of it.

#include "batch/run_batch.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// One outcome in a few words: "a.dat converted from BGA, Arcade", "b.dat same as a.dat",
// "c.dat failed 53".
[[nodiscard]] std::string said(const vuelco::batch::FileOutcome &outcome);
// The counts of a summary: "arcade 1, pc 0, converted 2, already 0, unrecognised 1, failed 0, same 1".
[[nodiscard]] std::string counted(const vuelco::batch::Summary &summary);

class RecordingFront final : public vuelco::batch::Listener {
public:
    // Asked after each outcome is written down whether the run is to go on.
    std::function<bool()> goOn = [] { return true; };
    std::vector<std::string> lines;

    bool report(const vuelco::batch::FileOutcome &outcome, const vuelco::batch::Progress &progress) override;
    bool caughtUp() override { return true; }
};

struct Ran {
    std::vector<std::string> lines;
    vuelco::batch::Summary summary;
};

// Runs the job on the names, to the PC-emulator layout where it converts, through front and
// under stop when given.
[[nodiscard]] Ran runOn(const std::vector<std::filesystem::path> &names, vuelco::batch::Job job,
                        bool recursive = false, unsigned workers = 4, RecordingFront *front = nullptr,
                        const vuelco::batch::StopRequest *stop = nullptr);
