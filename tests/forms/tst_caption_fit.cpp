#include "forms/caption_fit.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QtTest>

class TestCaptionFit : public QObject {
    Q_OBJECT

private slots:
    void aCaptionHiddenAtFirstIsFittedWhenShown();
};

void TestCaptionFit::aCaptionHiddenAtFirstIsFittedWhenShown()
{
    QWidget form;
    auto *frame = new QWidget(&form);
    auto *label = new QLabel(QStringLiteral("Procesando..."), frame);
    label->setFixedWidth(qRound(QFontMetricsF(label->font()).horizontalAdvance(label->text()) * 0.9));
    frame->hide();
    vuelco::forms::fitCaptions(&form);
    form.show();
    frame->show();
    QVERIFY(QFontMetricsF(label->font()).horizontalAdvance(label->text()) <= vuelco::forms::captionRoom(label));
}

QTEST_MAIN(TestCaptionFit)
#include "tst_caption_fit.moc"
