// The chooser's red backdrop, painted strip by strip on its drawing surface, beside one
// linear-gradient fill of a surface of the same size.
#include "bench_report.h"

#include "file_chooser/module1.h"
#include "forms/drawing_surface.h"
#include "forms/twips.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <iostream>

namespace {

constexpr int kRounds = 201;

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget form;
    form.setFixedSize(static_cast<int>(vuelco::forms::twipsToPixels(6840)),
                      static_cast<int>(vuelco::forms::twipsToPixels(3360)));

    std::vector<double> ours, reference;
    for (int round = 0; round < kRounds; ++round) {
        // A fresh surface each round, as each showing of the chooser has.
        vuelco::forms::PersistentSurface surface(&form);
        auto start = vuelco::bench::Clock::now();
        vuelco::Module1::Degradado(2, surface);
        ours.push_back(vuelco::bench::secondsSince(start) * 1e3);

        QImage image(form.size(), QImage::Format_RGB32);
        start = vuelco::bench::Clock::now();
        {
            QPainter painter(&image);
            QLinearGradient gradient(0, 0, image.width(), 0);
            gradient.setColorAt(0, QColor(255, 0, 0));
            gradient.setColorAt(1, QColor(100, 0, 0));
            painter.fillRect(image.rect(), gradient);
        }
        reference.push_back(vuelco::bench::secondsSince(start) * 1e3);
    }
    const double median = vuelco::bench::median(ours);
    std::cout << "== The chooser's backdrop, 6,840 x 3,360 twips ==\n"
              << vuelco::bench::machineLine() << '\n'
              << kRounds << " rounds\n"
              << "Degradado: " << median << " ms (target under 2 ms: " << (median < 2 ? "met" : "MISSED")
              << "), one linear-gradient fill: " << vuelco::bench::median(reference) << " ms\n";
    return 0;
}
