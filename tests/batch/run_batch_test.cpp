// The batch engine through a front of the tests' own: every outcome in the order of the
// names and of the walk, each file worked on once however it is named, a walk that cannot
// be led out of its tree, and a stop that leaves no file converted without its outcome.

#include "batch/given_names.h"
#include "recording_front.h"
#include "system_call_faults.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace vuelco::batch {
namespace {

namespace fs = std::filesystem;

const Bytes kArcade = fileWith(Layout::Arcade, bodyOf(3));
const Bytes kPcEmulator = fileWith(Layout::PcEmulator, bodyOf(3));
const Bytes kOther{'h', 'o', 'l', 'a'};

std::string is(const fs::path &name, const std::string &what) { return name.string() + ' ' + what; }

// Windows lets only privileged accounts make links (and Wine cannot).
bool linked(const fs::path &target, const fs::path &link)
{
    std::error_code refused;
    fs::is_directory(target) ? fs::create_directory_symlink(target, link, refused)
                             : fs::create_symlink(target, link, refused);
    return !refused;
}

struct JobCase {
    const char *name;
    Job job;
    std::vector<std::string> outcomes;  // of the arcade, PC-emulator, other and missing files
    const Bytes &arcadeAfter;
    std::string counts;
};

void PrintTo(const JobCase &row, std::ostream *out) { *out << row.name; }

class Jobs : public ::testing::TestWithParam<JobCase> {};

TEST_P(Jobs, reportEveryOutcomeAndCountIt)
{
    const TempFolder folder;
    const std::vector<fs::path> names{folder.write("arcade.dat", kArcade), folder.write("pc.dat", kPcEmulator),
                                      folder.write("otro.dat", kOther), folder / "falta.dat"};
    const Ran ran = runOn(names, GetParam().job);
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < names.size(); ++i)
        expected.push_back(is(names[i], GetParam().outcomes[i]));
    EXPECT_EQ(ran.lines, expected);
    EXPECT_EQ(counted(ran.summary), GetParam().counts);
    EXPECT_EQ(readAll(names[0]), GetParam().arcadeAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Jobs,
    ::testing::Values(JobCase{"look", Job::Look,
                              {"looked BGA, Arcade", "looked BGA, Emulador Pc", "looked ?", "failed 53"}, kArcade,
                              "arcade 1, pc 1, converted 0, already 0, unrecognised 1, failed 1, same 0"},
                      JobCase{"simulate", Job::Simulate,
                              {"converted from BGA, Arcade", "already", "unrecognised", "failed 53"}, kArcade,
                              "arcade 0, pc 0, converted 1, already 1, unrecognised 1, failed 1, same 0"},
                      JobCase{"convert", Job::Convert,
                              {"converted from BGA, Arcade", "already", "unrecognised", "failed 53"}, kPcEmulator,
                              "arcade 0, pc 0, converted 1, already 1, unrecognised 1, failed 1, same 0"}),
    ::testing::PrintToStringParamName());

// Whichever of a file's names reaches it first (the first open is slowed), the file is
// reported once, under its first name, and its later names as the same file: its hard
// links, and its first name given again.
TEST_P(Jobs, reportAFileUnderItsFirstNameOnly)
{
    const TempFolder folder;
    const fs::path first = folder.write("a.dat", kArcade);
    const std::vector<fs::path> names{first, folder / "duro.dat", folder / "otro.dat", first};
    fs::create_hard_link(first, names[1]);
    fs::create_hard_link(first, names[2]);
    FakeCalls calls;
    calls.plan([](const Record &, std::size_t index) {
        if (index == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return Twist{};
    });
    const Ran ran = runOn(names, GetParam().job, false, 4);
    const std::string same = "same as " + first.string();
    EXPECT_EQ(ran.lines, (std::vector<std::string>{is(first, GetParam().outcomes[0]), is(names[1], same),
                                                   is(names[2], same), is(first, same)}));
    EXPECT_EQ(ran.summary.sameFile, 3U);
}

// One file named four ways (as given, by a hard link, by a link, in another spelling) among
// many, on many workers, with a flush as slow as a USB stick's, and the first open slowed
// so that a later name may reach the file first. Outcomes come in the order named; the
// file is converted once, under its first name, and its later names say so instead of
// waiting for the lock and failing; "" and "." share no key. The counts count files.
TEST(Run, reportsInTheOrderNamedAndConvertsEachFileOnce)
{
    const TempFolder folder;
    const fs::path first = folder.write("a.dat", kArcade);
    std::vector<fs::path> names{first, folder / "duro.dat", folder / "enlace.dat", folder / "." / "a.dat", "", "."};
    fs::create_hard_link(first, names[1]);
    std::vector<std::string> expected{is(first, "converted from BGA, Arcade"), is(names[1], "same as " + first.string())};
    if (linked(first, names[2]))
        expected.push_back(is(names[2], "same as " + first.string()));
    else
        names.erase(names.begin() + 2);
    expected.push_back(is(folder / "." / "a.dat", "same as " + first.string()));
    // Windows takes "" for the current folder.
    expected.insert(expected.end(), {is("", kNamesAreBytes ? "failed 53" : "failed 52"), is(".", "failed 52")});
    for (int i = 39; i >= 0; --i) {
        const bool arcade = i % 2 == 0;
        names.push_back(folder.write("f" + std::to_string(i).append(".dat"), arcade ? kArcade : kPcEmulator));
        expected.push_back(is(names.back(), arcade ? "converted from BGA, Arcade" : "already"));
    }

    FakeCalls calls;
    std::atomic<bool> flushed{false};
    calls.plan([&](const Record &call, std::size_t index) {
        if (index == 0 || (call.call == Call::Flush && !flushed.exchange(true)))
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return Twist{};
    });
    const Ran ran = runOn(names, Job::Convert, false, 16);
    EXPECT_EQ(ran.lines, expected);
    EXPECT_EQ(counted(ran.summary), "arcade 0, pc 0, converted 21, already 20, unrecognised 0, failed 2, same " +
                                        std::to_string(names.size() - 43));
    EXPECT_EQ(readAll(first), kPcEmulator);
}

// A run starts with few workers, as storage that never waits wants, and adds workers while
// flushes take long, up to the count asked for: slow flushes then overlap, as the journal
// commits of a disk reward.
TEST(Run, addsWorkersWhileFlushesTakeLong)
{
    const TempFolder folder;
    std::vector<fs::path> names;
    names.reserve(40);
    for (int i = 0; i < 40; ++i)
        names.push_back(folder.write("f" + std::to_string(i).append(".dat"), kArcade));
    FakeCalls calls;
    std::atomic<int> flushing{0};
    std::atomic<int> mostFlushing{0};
    calls.plan([&](const Record &call, std::size_t) {
        if (call.call == Call::Flush) {
            const int now = ++flushing;
            for (int most = mostFlushing; now > most && !mostFlushing.compare_exchange_weak(most, now);) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            --flushing;
        }
        return Twist{};
    });
    const Ran ran = runOn(names, Job::Convert, false, 8);
    EXPECT_EQ(ran.summary.converted, names.size());
    EXPECT_EQ(mostFlushing, 8);
}

// A name given again in another spelling of its path is known before anything is opened;
// names that only look alike ("a.dat/", "..", leading separators) are not taken for it.
TEST(GivenNames, knowEverySpellingOfAPathAndNothingMore)
{
    const std::vector<std::pair<const char *, bool>> sequence{
        {"a.dat", false},     {"./a.dat", true},   {"x/a.dat", false}, {"x//a.dat", true},
        {"x/./a.dat", true},  {"./x/a.dat", true}, {"x/a.dat/", false}, {"x/a.dat/.", true},
        {"../a.dat", false},  {"", false},         {".", false},       {"./", true},
        {"/", false},         {"//", false},       {"/x/a.dat", false}, {"/x/a.dat/", false}};
    GivenNames given;
    std::vector<NativeName> names;  // given keeps pointers to them
    names.reserve(sequence.size());
    for (const auto &[name, before] : sequence)
        EXPECT_EQ(given.givenBefore(names.emplace_back(fs::path(name).native())) != nullptr, before) << name;
}

// A walk takes ".dat" files in any case, in name order, folder by folder, and follows no
// link: not the one back to the top (it would never end), not the one to a file. A folder
// it may not read is reported with its failure, and the walk goes on; so is one whose
// path passes the 260 characters Windows once stopped at.
TEST(Walk, takesDatFilesInNameOrderAndFollowsNoLink)
{
    const TempFolder folder;
    const fs::path top = folder / "top";
    const fs::path deep = top / std::string(100, 'x') / std::string(100, 'y') / std::string(100, 'z');
    for (const fs::path &made : {deep, top / "sub", top / "vedada"})
        makeFolders(made);
    for (const char *name : {"B.DAT", "a.dat", "sub/c.Dat", "notas.txt", "vedada/d.dat", "z.dat"})
        writeFile(top / name, kArcade);
    writeFile(deep / "largo.dat", kArcade);
    (void)linked(top, top / "sub" / "vuelta");
    (void)linked(top / "a.dat", top / "enlace.dat");

    FakeCalls calls;
    std::size_t opens = 0;
    calls.plan([&](const Record &call, std::size_t) {
        // The walk opens the top folder, then "sub", then "vedada".
        return call.call == Call::Open && ++opens == 3 ? Twist{kSystemCalls.accessDenied} : Twist{};
    });
    const Ran ran = runOn({top}, Job::Convert, true, 1);
    const std::string converted = "converted from BGA, Arcade";
    EXPECT_EQ(ran.lines, (std::vector<std::string>{is(top / "B.DAT", converted), is(top / "a.dat", converted),
                                                   is(top / "sub" / "c.Dat", converted), is(top / "vedada", "failed 70"),
                                                   is(deep / "largo.dat", converted), is(top / "z.dat", converted)}));
    EXPECT_EQ(readAll(top / "notas.txt"), kArcade);
    EXPECT_EQ(readAll(top / "vedada" / "d.dat"), kArcade);
}

// While the walk goes, another program swaps what it listed: a folder for a link to a
// folder outside the tree, a file for a link to a file outside it, a file for another.
// Nothing outside the tree is touched, the entry is reported, and the rest goes on.
struct Swap {
    const char *name;
    Call before;        // the swap comes right before the nth call of this kind
    std::size_t nth;
    std::function<void(const fs::path &top, const fs::path &outside)> swap;
    const char *reported;  // the entry swapped, below the top
    const char *outcome;
    bool makesALink;
};

void PrintTo(const Swap &row, std::ostream *out) { *out << row.name; }

class Swapped : public ::testing::TestWithParam<Swap> {};

TEST_P(Swapped, isReportedAndNothingOutsideTheTreeIsTouched)
{
    const TempFolder folder;
    const fs::path top = folder / "top";
    const fs::path outside = folder / "fuera";
    makeFolders(top / "sub");
    makeFolders(outside);
    for (const fs::path &file : {top / "a.dat", top / "sub" / "b.dat", outside / "b.dat"})
        writeFile(file, kArcade);
    if (GetParam().makesALink && !linked(outside, folder / "prueba"))
        GTEST_SKIP() << "no link can be made here";

    FakeCalls calls;
    std::size_t seen = 0;
    calls.plan([&](const Record &call, std::size_t) {
        if (call.call == GetParam().before && ++seen == GetParam().nth)
            GetParam().swap(top, outside);
        return Twist{};
    });
    // One worker: the walk lists everything before the first file is worked on.
    const Ran ran = runOn({top}, Job::Convert, true, 1);
    EXPECT_EQ(ran.lines, (std::vector<std::string>{is(top / "a.dat", "converted from BGA, Arcade"),
                                                   is(top / fs::path(GetParam().reported).make_preferred(), GetParam().outcome)}));
    EXPECT_EQ(readAll(outside / "b.dat"), kArcade);
}

INSTANTIATE_TEST_SUITE_P(
    Swaps, Swapped,
    ::testing::Values(Swap{"folderBecomesALink", Call::Open, 2,
                           [](const fs::path &top, const fs::path &outside) {
                               fs::rename(top / "sub", top / "aparte");
                               fs::create_directory_symlink(outside, top / "sub");
                           },
                           "sub", "failed 57", true},
                      Swap{"fileBecomesALink", Call::Read, 1,
                           [](const fs::path &top, const fs::path &outside) {
                               fs::remove(top / "sub" / "b.dat");
                               fs::create_symlink(outside / "b.dat", top / "sub" / "b.dat");
                           },
                           "sub/b.dat", "failed 52", true},
                      Swap{"fileReplaced", Call::Read, 1,
                           [](const fs::path &top, const fs::path &outside) {
                               fs::copy_file(outside / "b.dat", top / "nuevo.dat");
                               fs::rename(top / "nuevo.dat", top / "sub" / "b.dat");
                           },
                           "sub/b.dat", "failed 57", false}),
    ::testing::PrintToStringParamName());

// Stopped at the first outcome, by a stop request (Ctrl+C) or by the front (its output
// failed), while the other files' flushes are slow: no new file is taken, those in
// flight (one for each of the four workers at most) finish whole and are reported, and
// no file is converted without its outcome.
class Stop : public ::testing::TestWithParam<bool> {};

TEST_P(Stop, takesNoNewFileAndReportsEveryFileItConverted)
{
    const TempFolder folder;
    std::vector<fs::path> names;
    names.reserve(60);
    for (int i = 0; i < 60; ++i)
        names.push_back(folder.write("f" + std::to_string(100 + i).append(".dat"), kArcade));
    FakeCalls calls;
    std::atomic<int> flushes{0};
    calls.plan([&](const Record &call, std::size_t) {
        if (call.call == Call::Flush && flushes++ > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return Twist{};
    });
    StopRequest stop;
    RecordingFront front;
    front.goOn = [&] {
        if (GetParam())
            stop.request();
        return GetParam();
    };
    const Ran ran = runOn(names, Job::Convert, false, 4, &front, &stop);
    EXPECT_TRUE(ran.summary.stopped);
    EXPECT_LE(ran.lines.size(), 1U + 4U);
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(readAll(names[i]), i < ran.lines.size() ? kPcEmulator : kArcade) << i;
}

INSTANTIATE_TEST_SUITE_P(Ways, Stop, ::testing::Values(true, false), [](const auto &row) {
    return std::string(row.param ? "byRequest" : "byTheFront");
});

} // namespace
} // namespace vuelco::batch
