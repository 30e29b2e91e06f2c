#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace vuelco::forms {

// What a form offers to code that draws on it: its drawing area in its own units
// (twips) and filled boxes between two corners.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;
    [[nodiscard]] virtual float ScaleWidth() const = 0;
    [[nodiscard]] virtual float ScaleHeight() const = 0;
    // Fills the box between the corners (x1, y1) and (x2, y2), in either order.
    virtual void fillBox(float x1, float y1, float x2, float y2, const QColor &colour) = 0;
};

// A form's drawing surface that keeps what was drawn on it: a widget laid over the
// form's whole client area, behind its controls, that paints its own picture. The form
// itself draws once and needs no repaint handler; covering and uncovering the window
// shows the same picture again.
class PersistentSurface final : public QWidget, public DrawingSurface {
public:
    // Covers the form's client area; create it before the form's controls so it lies behind them.
    explicit PersistentSurface(QWidget *form);

    [[nodiscard]] float ScaleWidth() const override;
    [[nodiscard]] float ScaleHeight() const override;
    void fillBox(float x1, float y1, float x2, float y2, const QColor &colour) override;

    // What has been drawn, one pixel per 15 twips.
    [[nodiscard]] const QImage &picture() const { return mPicture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage mPicture;
};

} // namespace vuelco::forms
