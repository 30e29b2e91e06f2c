// The collection window against vuelco-cli and against a plain read, side by side:
// - converting 10,000 arcade files on the disk through the window (from "a Emulador Pc"
//   to the end of the run) against `vuelco-cli -r --a-emulador` on the same folder, started
//   as a process; and meanwhile the worst delay of a timer that ticks every 10 ms in the
//   window's event loop;
// - the window's look at 100,000 files (from its opening to the end of the look) against
//   one thread opening each file, reading its 16 bytes and closing it; and vuelco-cli -r's
//   look at the same files, to tell the engine's cost from the window's.
// Every round starts from the same arcade files; the sides alternate round by round.
#include "arcade_files.h"
#include "bench_report.h"
#include "scratch_folder.h"

#include "collection_window/collection_window.h"
#include "core/bga_header.h"
#include "forms/message_box.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace vuelco;
using bench::failOn;
using bench::resetToArcade;
using bench::timeCli;

namespace {

constexpr int kConvertedFiles = 10000;
constexpr int kLookedFiles = 100000;
// Answers every confirmation with Yes, as the user who asked for the conversion.
class YesToAll final : public forms::MessageBoxService {
public:
    forms::MsgBoxResult show(const QString &, int, const QString &) override { return forms::MsgBoxResult::Yes; }
};

void waitForTheRun(CollectionWindow &window)
{
    QEventLoop loop;
    QObject::connect(&window, &CollectionWindow::runEnded, &loop, &QEventLoop::quit);
    loop.exec();
}

struct WindowRound {
    double seconds = 0;
    double worstTimerDelay = 0;  // beyond its 10 ms
};

// The look untimed, then the conversion timed, with a 10 ms timer ticking meanwhile.
WindowRound convertThroughTheWindow(const fs::path &folder)
{
    CollectionWindow window({QString::fromStdString(folder.string())}, nullptr);
    window.show();
    waitForTheRun(window);
    auto *toPc = window.findChild<QPushButton *>(QStringLiteral("BTguarda1"));
    if (toPc == nullptr || !toPc->isEnabled())
        throw std::runtime_error("the window offers no conversion");

    WindowRound round;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    const auto start = bench::Clock::now();
    auto lastTick = start;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const auto now = bench::Clock::now();
        const double late = std::chrono::duration<double>(now - lastTick).count() - 0.010;
        round.worstTimerDelay = std::max(round.worstTimerDelay, late);
        lastTick = now;
    });
    ticker.start();
    toPc->click();
    waitForTheRun(window);
    round.seconds = bench::secondsSince(start);
    if (window.findChild<QLabel *>(QStringLiteral("LEstado"))->text() != QStringLiteral("Finalizado"))
        throw std::runtime_error("the window did not finish the conversion");
    return round;
}

double lookThroughTheWindow(const fs::path &folder)
{
    const auto start = bench::Clock::now();
    CollectionWindow window({QString::fromStdString(folder.string())}, nullptr);
    window.show();
    waitForTheRun(window);
    return bench::secondsSince(start);
}

double readEachHeader(const std::vector<std::string> &files)
{
    const auto start = bench::Clock::now();
    for (const std::string &file : files) {
        Header header{};
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::read(fd, header.data(), header.size()) != static_cast<ssize_t>(header.size()))
            failOn("cannot read", file);
        ::close(fd);
    }
    return bench::secondsSince(start);
}

void compareConversions(const std::string &cli)
{
    constexpr int kRounds = 3;
    const bench::ScratchFolder disk("/var/tmp");
    const std::vector<std::string> files = bench::numberedFiles(disk.path(), kConvertedFiles);
    std::vector<double> window;
    std::vector<double> command;
    double worstDelay = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            resetToArcade(files);
            if ((turn + round) % 2 == 0) {
                const WindowRound measured = convertThroughTheWindow(disk.path());
                window.push_back(measured.seconds);
                worstDelay = std::max(worstDelay, measured.worstTimerDelay);
            } else {
                command.push_back(timeCli(cli, {"-r", "--a-emulador", disk.path().string()}).seconds);
            }
        }
    }
    std::cout << kConvertedFiles << " files in " << disk.path().parent_path().string() << ", " << kRounds
              << " rounds\n";
    bench::printRow("  converted through the window against vuelco-cli -r", "s", bench::median(window),
                    bench::median(command), 1.15);
    std::cout << std::fixed << std::setprecision(1) << "  worst delay of a 10 ms timer in the window meanwhile: "
              << worstDelay * 1000 << " ms (target <= 50 ms: " << (worstDelay <= 0.050 ? "met" : "MISSED") << ")\n";
}

void compareLooks(const std::string &cli)
{
    constexpr int kRounds = 5;
    const bench::ScratchFolder disk("/var/tmp");
    const std::vector<std::string> files = bench::numberedFiles(disk.path(), kLookedFiles);
    resetToArcade(files);
    std::vector<double> window;
    std::vector<double> plain;
    std::vector<double> command;
    for (int round = 0; round < kRounds; ++round) {
        for (int turn = 0; turn < 3; ++turn) {
            switch ((turn + round) % 3) {
            case 0: window.push_back(lookThroughTheWindow(disk.path())); break;
            case 1: plain.push_back(readEachHeader(files)); break;
            default: command.push_back(timeCli(cli, {"-r", disk.path().string()}).seconds); break;
            }
        }
    }
    std::cout << kLookedFiles << " files in " << disk.path().parent_path().string() << " (in the page cache), "
              << kRounds << " rounds\n";
    bench::printRow("  the window's look against a plain 16-byte read of each", "s", bench::median(window),
                    bench::median(plain), 1.3);
    std::cout << std::fixed << std::setprecision(2)
              << "  vuelco-cli -r (the same engine's look) against the plain read: " << bench::median(command)
              << " s, ratio " << std::setprecision(3) << bench::median(command) / bench::median(plain) << '\n';
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::cerr << "usage: collection_window PATH-TO-vuelco-cli\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    YesToAll yes;
    forms::ScopedMessageBoxService answers(yes);
    try {
        std::cout << "== the collection window against vuelco-cli and a plain read ==\n"
                  << bench::machineLine() << '\n';
        compareConversions(argv[1]);
        compareLooks(argv[1]);
        return 0;
    } catch (const std::exception &error) {
        std::cerr << "collection_window: " << error.what() << '\n';
        return 1;
    }
}
