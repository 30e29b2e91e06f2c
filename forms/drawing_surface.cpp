#include "forms/drawing_surface.h"

#include "forms/twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vuelco::forms {

PersistentSurface::PersistentSurface(QWidget *form)
    : QWidget(form), mPicture(form->size(), QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("drawingSurface"));
    setGeometry(form->rect());
    mPicture.fill(form->palette().color(QPalette::Window));
    lower();
}

float PersistentSurface::ScaleWidth() const { return static_cast<float>(pixelsToTwips(width())); }

float PersistentSurface::ScaleHeight() const { return static_cast<float>(pixelsToTwips(height())); }

void PersistentSurface::fillBox(float x1, float y1, float x2, float y2, const QColor &colour)
{
    // Whole pixels whose centres the box covers, filled row by row: a backdrop is
    // thousands of boxes a fifth of a pixel wide, too many for a painter each.
    const auto firstPixel = [](float twips) { return static_cast<int>(std::lround(twipsToPixels(twips))); };
    const int left = std::max(0, firstPixel(std::min(x1, x2)));
    const int right = std::min(mPicture.width(), firstPixel(std::max(x1, x2)));
    const int top = std::max(0, firstPixel(std::min(y1, y2)));
    const int bottom = std::min(mPicture.height(), firstPixel(std::max(y1, y2)));
    if (left >= right || top >= bottom)
        return;
    const QRgb pixel = colour.rgb();
    // The picture's bits are taken once per box: scanLine() checks for a shared copy on
    // every row, which cost more than the filling itself.
    uchar *const bits = mPicture.bits();
    const qsizetype stride = mPicture.bytesPerLine();
    for (int y = top; y < bottom; ++y) {
        auto *row = reinterpret_cast<QRgb *>(bits + y * stride);
        std::fill(row + left, row + right, pixel);
    }
    update(left, top, right - left, bottom - top);
}

void PersistentSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), mPicture, event->rect());
}

} // namespace vuelco::forms
