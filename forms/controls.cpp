#include "forms/controls.h"

#include <QLabel>
#include <QPalette>

namespace vuelco::forms {

QString caption(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void showYellowOnBlack(QWidget *label)
{
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    label->setPalette(palette);
}

} // namespace vuelco::forms
