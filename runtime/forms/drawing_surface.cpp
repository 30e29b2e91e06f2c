#include "runtime/forms/drawing_surface.h"

#include "runtime/forms/twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

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
    const QRectF box(QPointF(twipsToPixels(std::min(x1, x2)), twipsToPixels(std::min(y1, y2))),
                     QPointF(twipsToPixels(std::max(x1, x2)), twipsToPixels(std::max(y1, y2))));
    QPainter painter(&mPicture);
    painter.fillRect(box, colour);
    update();
}

void PersistentSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), mPicture, event->rect());
}

} // namespace vuelco::forms
