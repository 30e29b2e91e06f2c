#include "main_window/form1.h"

#include "batch/undo_record.h"
#include "collection_window/collection_window.h"
#include "core/header_probe.h"
#include "core/convert_if_unchanged.h"
#include "file_chooser/fdisco.h"
#include "file_chooser/module1.h"
#include "runtime/unexpected_failure.h"
#include "forms/accessibility.h"
#include "forms/blank.h"
#include "forms/caption_fit.h"
#include "forms/command_button.h"
#include "forms/controls.h"
#include "forms/fonts.h"
#include "forms/message_box.h"
#include "forms/native_paths.h"
#include "forms/path_label.h"
#include "forms/twips.h"
#include "forms/yield.h"
#include "main_window/ways_in.h"
#include "words/confirmation_words.h"
#include "words/failure_words.h"
#include "words/layout_words.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

namespace vuelco {

using forms::caption;
using forms::designFont;
using forms::DesignFace;
using forms::MsgBox;
using forms::MsgBoxResult;
using forms::setTwipsGeometry;
namespace Style = forms::MsgBoxStyle;

namespace {

constexpr double kClientWidth = 6390;
constexpr double kClientHeight = 3195;
constexpr QChar kLineBreak = QChar(forms::kBoxLineBreak);

template <class Texts>
QString lines(const Texts &texts)
{
    QStringList joined;
    for (const std::string_view text : texts)
        joined.append(caption(text));
    return joined.join(kLineBreak);
}

QString lines(std::initializer_list<const char *> texts) { return lines<std::initializer_list<const char *>>(texts); }

void showFailure(const Failure &failure)
{
    MsgBox(QString::fromStdString(words::errorPrompt(failure, forms::kBoxLineBreak)), Style::OkOnly,
           QStringLiteral("Algo mal..."));
}

template <class Control>
Control *control(QWidget *parent, const char *name, const QRectF &twips)
{
    return forms::placed(new Control(parent), name, twips);
}

QLabel *plainLabel(QWidget *parent, const char *name, const QRectF &twips)
{
    return forms::placed(forms::plainLabel(parent), name, twips);
}

QPushButton *commandButton(QWidget *parent, const char *name, const QRectF &twips)
{
    return control<vuelco::forms::CommandButton>(parent, name, twips);
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent), mChooser([](QWidget *owner) { Fdisco::showModal(owner); }),
      mCollectionOpener(CollectionWindow::showModal)
{
    vuelco::forms::installAccessibility();
    setObjectName(QStringLiteral("Form1"));
    setAcceptDrops(true);
    // A fixed single border: the layout never changes size, so nothing to maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("BGA: Arcade<-->Emulador Pc"));
    setWindowIcon(QIcon(QStringLiteral(":/vuelco/vuelco.png")));
    // The forms' own default face, which the fixed layout was measured with.
    setFont(designFont(DesignFace::MsSansSerif, 8.25, false));
    vuelco::forms::setClientSizeTwips(this, kClientWidth, kClientHeight);
    createControls();
    Form_Load();
}

void Form1::setChooser(Chooser chooser) { mChooser = std::move(chooser); }

void Form1::setCollectionOpener(CollectionOpener opener) { mCollectionOpener = std::move(opener); }

// Created in the order the controls are seen, top to bottom, which is the order screen
// readers read them in. A later sibling lies in front of an earlier one: only the busy
// frame overlaps others, in front of the lower half, and Picture1 in front of it.
void Form1::createControls()
{
    Label2 = plainLabel(this, "Label2", {2040, 120, 1350, 285});
    Label2->setText(QStringLiteral("Archivo BGA"));
    Label2->setFont(designFont(DesignFace::TimesNewRoman, 12, true));

    LRuta = control<vuelco::forms::PathLabel>(this, "LRuta", {120, 480, 5535, 495});
    LRuta->setFont(designFont(DesignFace::MsSansSerif, 8.25, true));
    LRuta->setWordWrap(true);
    LRuta->setAccessibleDescription(QStringLiteral("Archivo"));
    LRuta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    forms::showYellowOnBlack(LRuta);

    BTcarga = commandButton(this, "BTcarga", {5760, 600, 495, 330});
    BTcarga->setText(QStringLiteral("..."));
    BTcarga->setFont(designFont(DesignFace::TimesNewRoman, 14.25, true));
    BTcarga->setAccessibleName(QStringLiteral("Elegir archivo"));
    connect(BTcarga, &QPushButton::clicked, this, &Form1::BTcarga_Click);

    Label1 = plainLabel(this, "Label1", {840, 1080, 1200, 240});
    Label1->setText(QStringLiteral("El archivo es:"));
    Label1->setFont(designFont(DesignFace::MsSansSerif, 9.75, false, true));

    LTipo = plainLabel(this, "LTipo", {2160, 1080, 2130, 240});
    LTipo->setAccessibleDescription(QStringLiteral("Formato"));
    LTipo->setFont(designFont(DesignFace::MsSansSerif, 9.75, true));

    FRconv = control<QGroupBox>(this, "FRconv", {720, 1440, 3975, 975});
    FRconv->setTitle(QStringLiteral("Convertir..."));
    FRconv->setFont(designFont(DesignFace::MsSansSerif, 9.75, true));
    BTguarda[0] = commandButton(FRconv, "BTguarda0", {240, 360, 1575, 495});
    BTguarda[0]->setText(QStringLiteral("a Arcade"));
    BTguarda[1] = commandButton(FRconv, "BTguarda1", {2160, 360, 1575, 495});
    BTguarda[1]->setText(QStringLiteral("a Emulador Pc"));
    for (int index = 0; index < 2; ++index) {
        QPushButton *button = BTguarda[static_cast<std::size_t>(index)];
        button->setFont(designFont(DesignFace::MsSansSerif, 9.75, false));
        button->setEnabled(false);
        connect(button, &QPushButton::clicked, this, [this, index] { BTguarda_Click(index); });
    }

    Label3 = plainLabel(this, "Label3", {120, 2520, 6135, 135});
    Label3->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    Label4 = plainLabel(this, "Label4", {3360, 2880, 870, 195});
    Label4->setText(QStringLiteral("18/05/2003"));

    FRespera = control<QGroupBox>(this, "FRespera", {5880, 840, 5295, 1695});
    // Opaque, so that while it is shown nothing behind it shows through.
    FRespera->setAutoFillBackground(true);
    CHwa = control<QCheckBox>(FRespera, "CHwa", {600, 600, 4095, 615});
    CHwa->setText(QStringLiteral("Procesando..."));
    CHwa->setFont(designFont(DesignFace::TimesNewRoman, 15.75, true));
    FRespera->hide();

    Picture1 = control<QLabel>(this, "Picture1", {4320, 2760, 1875, 285});
    // A two-pixel sunken border around the 121 x 15 bitmap fills the box exactly.
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setLineWidth(2);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/vuelco/picture1.bmp")));
    Picture1->setAccessibleName(QStringLiteral("Arcade <-> Emu Pc"));

    // Keyboard order by the designed tab indexes; the labels and frames take no focus.
    setTabOrder(BTcarga, BTguarda[0]);
    setTabOrder(BTguarda[0], BTguarda[1]);
    setTabOrder(BTguarda[1], CHwa);

    vuelco::forms::fitCaptions(this);
}

void Form1::Form_Load()
{
    // Computed in single precision and not rounded: the design sizes give 547.5 and 1500.
    const QRectF frame = vuelco::forms::twipsGeometry(FRespera);
    const auto clientWidth = static_cast<float>(vuelco::forms::pixelsToTwips(width()));
    const auto clientHeight = static_cast<float>(vuelco::forms::pixelsToTwips(height()));
    const float left = (clientWidth - static_cast<float>(frame.width())) / 2;
    const float top = clientHeight - static_cast<float>(frame.height());
    vuelco::forms::moveTwips(FRespera, left, top);
    RutaElegida = QString();
}

bool Form1::isBusy() const { return FRespera->isVisibleTo(this); }

void Form1::BTcarga_Click()
{
    if (isBusy())
        return;
    try {
        Module1::RutaArchivo = vuelco::forms::isBlank(RutaElegida)
                                   ? vuelco::forms::joinPath(vuelco::forms::applicationFolder(), QString())
                                   : RutaElegida;
        Module1::Opcion[Module1::kModo] = 0;
        mChooser(this);
    } catch (...) {
        showFailure(vuelco::currentFailure());
        return;
    }
    if (Module1::Opcion[Module1::kResultado] != 0)
        loadFile(Module1::RutaArchivo);
}

void Form1::loadFile(const QString &path)
{
    if (isBusy())
        return;
    try {
        Module1::RutaArchivo = path;
        RutaElegida = path;
        LRuta->setText(vuelco::forms::shownPath(RutaElegida));
        FRespera->show();
        vuelco::forms::DoEvents();

        const vuelco::ProbeResult probe = vuelco::probeHeader(vuelco::forms::toFilesystemPath(RutaElegida));
        if (!probe.layout) {
            MarcarDesconocido();
            return;
        }
        mGroups = probe.groups;
        showLayout(*probe.layout);
        FRespera->hide();
        offerNextStep(Label1->text() + ' ' + LTipo->text());
    } catch (...) {
        const Failure failure = vuelco::currentFailure();
        FRespera->hide();
        showUnknown();
        offerNextStep(Label1->text() + ' ' + LTipo->text());
        showFailure(failure);
    }
}

void Form1::openFiles(const QStringList &paths)
{
    if (paths.isEmpty() || isBusy())
        return;
    std::error_code error;
    // A record of a batch, whatever its name, opens the collection window that undoes it.
    const std::filesystem::path first = vuelco::forms::toFilesystemPath(paths.first());
    if (paths.size() == 1 && !std::filesystem::is_directory(first, error) && !vuelco::batch::isUndoRecordFile(first))
        loadFile(paths.first());
    else if (mCollectionOpener(this, paths))
        reloadFile();
}

void Form1::reloadFile()
{
    if (vuelco::forms::isBlank(RutaElegida))
        return;
    std::error_code error;
    if (std::filesystem::exists(vuelco::forms::toFilesystemPath(RutaElegida), error) || error) {
        loadFile(RutaElegida);
        return;
    }
    RutaElegida = QString();
    LRuta->clear();
    showUnknown();
    LTipo->clear();
}

// The busy guard holds for drops too: while a file is being worked on, a drag is refused
// and a drop that arrives during the yield is ignored.
void Form1::dragEnterEvent(QDragEnterEvent *event)
{
    if (isBusy() || droppedFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    // Copy, never move: a program told its files were moved may delete them.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void Form1::dropEvent(QDropEvent *event)
{
    const QStringList paths = droppedFiles(event->mimeData());
    if (isBusy() || paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Opened once the drop has returned: the program the files came from waits for it,
    // and loading may show a box.
    QMetaObject::invokeMethod(this, [this, paths] { openFiles(paths); }, Qt::QueuedConnection);
}

void Form1::BTguarda_Click(int Index)
{
    if (isBusy())
        return;
    if (vuelco::forms::isBlank(RutaElegida) || !mGroups) {
        MsgBox(QStringLiteral("Primero: elegir un archivo"), Style::Information, QStringLiteral("Eeeepa!"));
        return;
    }
    try {
        const QString confirmation = lines(words::overwriteQuestion(words::Overwritten::ChosenFile));
        if (MsgBox(confirmation, Style::YesNo | Style::DefaultButton2, QStringLiteral("Convertir")) != MsgBoxResult::Yes)
            return;

        FRespera->show();
        vuelco::forms::DoEvents();
        const Layout target = Index == 0 ? Layout::Arcade : Layout::PcEmulator;
        const vuelco::ConversionOutcome outcome =
            vuelco::convertIfUnchanged(vuelco::forms::toFilesystemPath(RutaElegida), target, *mGroups);
        FRespera->hide();

        if (outcome == vuelco::ConversionOutcome::ChangedSinceLoaded) {
            MsgBox(lines({"El archivo cambió desde que se cargó.", "Vuelva a cargarlo antes de convertir."}),
                   Style::Exclamation, QStringLiteral("Alto!!"));
            return;
        }
        // The rewrite returns only once the header is on the device.
        MsgBox(QStringLiteral("Finalizado"), Style::Information, QStringLiteral("Convertir"));
        showLayout(target);
        offerNextStep(QStringLiteral("Finalizado. ") + Label1->text() + ' ' + LTipo->text());
    } catch (...) {
        const Failure failure = vuelco::currentFailure();
        FRespera->hide();
        if (failure.number() == static_cast<std::int32_t>(FailureNumber::ReadOnly))
            MsgBox(lines(words::kReadOnlyAdvice), Style::Critical, QStringLiteral("Alto!!"));
        else
            showFailure(failure);
    }
}

void Form1::MarcarDesconocido()
{
    FRespera->hide();
    showUnknown();
    offerNextStep(Label1->text() + ' ' + LTipo->text());
    vuelco::forms::DoEvents();
}

void Form1::showUnknown()
{
    LTipo->setText(caption(words::kUnknownCaption));
    BTguarda[0]->setEnabled(false);
    BTguarda[1]->setEnabled(false);
    mGroups.reset();
}

void Form1::offerNextStep(const QString &outcome)
{
    QPushButton *next = BTcarga;
    if (BTguarda[0]->isEnabled())
        next = BTguarda[0];
    else if (BTguarda[1]->isEnabled())
        next = BTguarda[1];
    for (QPushButton *button : {BTcarga, BTguarda[0], BTguarda[1]})
        button->setAccessibleDescription(button == next ? outcome : QString());
    next->setFocus(Qt::OtherFocusReason);
}

void Form1::showLayout(Layout layout)
{
    LTipo->setText(caption(words::layoutCaption(layout)));
    BTguarda[0]->setEnabled(layout == Layout::PcEmulator);
    BTguarda[1]->setEnabled(layout == Layout::Arcade);
}

} // namespace vuelco
