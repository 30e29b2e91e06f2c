#include "forms/twips.h"

#include <QVariant>
#include <QWidget>
#include <cmath>

namespace vuelco::forms {
namespace {

const char *const kTwipsProperty = "vuelcoTwipsGeometry";

int toPixels(double twips) { return static_cast<int>(std::lround(twipsToPixels(twips))); }

} // namespace

void setTwipsGeometry(QWidget *widget, const QRectF &twips)
{
    widget->setGeometry(toPixels(twips.left()), toPixels(twips.top()), toPixels(twips.width()),
                        toPixels(twips.height()));
    widget->setProperty(kTwipsProperty, twips);
}

void moveTwips(QWidget *widget, double left, double top)
{
    QRectF twips = twipsGeometry(widget);
    twips.moveTo(left, top);
    setTwipsGeometry(widget, twips);
}

QRectF twipsGeometry(const QWidget *widget)
{
    const QVariant kept = widget->property(kTwipsProperty);
    const QRect pixels = widget->geometry();
    // A geometry changed behind our back (by a layout, say) wins over the kept value.
    if (kept.isValid()) {
        const QRectF twips = kept.toRectF();
        if (QRect(toPixels(twips.left()), toPixels(twips.top()), toPixels(twips.width()),
                  toPixels(twips.height())) == pixels)
            return twips;
    }
    return {pixelsToTwips(pixels.x()), pixelsToTwips(pixels.y()), pixelsToTwips(pixels.width()),
            pixelsToTwips(pixels.height())};
}

void setClientSizeTwips(QWidget *widget, double width, double height)
{
    widget->setFixedSize(toPixels(width), toPixels(height));
}

} // namespace vuelco::forms
