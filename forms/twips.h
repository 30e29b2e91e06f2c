#pragma once

#include <QRectF>

class QWidget;

namespace vuelco::forms {

// Window and control geometry is designed in twips, 1/1440 inch: 15 twips to a logical
// pixel at 96 dots per inch.
inline constexpr double kTwipsPerPixel = 15.0;

[[nodiscard]] constexpr double twipsToPixels(double twips) { return twips / kTwipsPerPixel; }
[[nodiscard]] constexpr double pixelsToTwips(double pixels) { return pixels * kTwipsPerPixel; }

// Places and sizes a widget from twips. The widget can only sit on whole pixels, so the
// exact twips value is kept beside it: a computed edge such as 547.5 reads back as such.
void setTwipsGeometry(QWidget *widget, const QRectF &twips);
void moveTwips(QWidget *widget, double left, double top);
// The widget's geometry in twips: the exact value last given, or its pixels in twips.
[[nodiscard]] QRectF twipsGeometry(const QWidget *widget);

// Sets a widget's client area in twips (a form's ScaleWidth and ScaleHeight).
void setClientSizeTwips(QWidget *widget, double width, double height);

} // namespace vuelco::forms
