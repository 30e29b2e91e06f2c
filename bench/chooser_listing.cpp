// Opening the chooser on a folder of 100,000 ".dat" files until its list has been
// painted, offscreen, beside listing the same names, matched and sorted, and nothing else.
#include "bench_report.h"
#include "scratch_folder.h"

#include "file_chooser/fdisco.h"
#include "file_chooser/module1.h"
#include "forms/native_paths.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 100000;
constexpr int kRounds = 5;

// Notes when the watched widget has been painted.
class PaintWatcher final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

double openChooser(const fs::path &folder)
{
    vuelco::Module1::RutaArchivo = vuelco::forms::joinPath(vuelco::forms::fromFilesystemPath(folder), QString());
    vuelco::Module1::Opcion = {0, 0};
    const auto start = vuelco::bench::Clock::now();
    vuelco::Fdisco dialog;
    PaintWatcher watcher;
    QWidget *list = dialog.findChild<QWidget *>(QStringLiteral("File1"));
    list->installEventFilter(&watcher);
    dialog.show();
    while (!watcher.painted)
        QCoreApplication::processEvents();
    return vuelco::bench::secondsSince(start);
}

bool matchesDat(const std::string &name)
{
    if (name.size() < 4 || name[0] == '.')
        return false;
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    return tail == ".dat";
}

double listNames(const fs::path &folder)
{
    const auto start = vuelco::bench::Clock::now();
    std::vector<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && matchesDat(name))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
            return std::tolower(x) < std::tolower(y);
        });
    });
    if (names.size() != kFiles)
        throw std::runtime_error("the folder lost files");
    return vuelco::bench::secondsSince(start);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        const vuelco::bench::ScratchFolder scratch(fs::temp_directory_path());
        for (int i = 0; i < kFiles; ++i)
            std::ofstream(scratch.path() / ("nivel" + std::to_string(i) + ".dat"));

        std::vector<double> ours, reference;
        for (int round = 0; round < kRounds; ++round) {
            ours.push_back(openChooser(scratch.path()));
            reference.push_back(listNames(scratch.path()));
        }
        const double median = vuelco::bench::median(ours);
        std::cout << "== Opening the chooser on 100,000 files until the list is painted ==\n"
                  << vuelco::bench::machineLine() << '\n'
                  << kRounds << " rounds, alternating\n";
        vuelco::bench::printRow("chooser vs plain listing, matched and sorted", "ms", median * 1e3,
                                vuelco::bench::median(reference) * 1e3, 3.0);
        std::cout << "chooser shown in " << median << " s (target under 0.5 s: " << (median < 0.5 ? "met" : "MISSED")
                  << ")\n";
        return 0;
    } catch (const std::exception &error) {
        std::cerr << "chooser_listing: " << error.what() << '\n';
        return 1;
    }
}
