#include "file_chooser/fdisco.h"

#include "file_chooser/module1.h"
#include "runtime/failure.h"
#include "forms/accessibility.h"
#include "forms/blank.h"
#include "forms/caption_fit.h"
#include "forms/command_button.h"
#include "forms/controls.h"
#include "forms/dir_list_box.h"
#include "forms/drawing_surface.h"
#include "forms/drive_list_box.h"
#include "forms/file_list_box.h"
#include "forms/fonts.h"
#include "forms/message_box.h"
#include "forms/native_paths.h"
#include "forms/path_label.h"
#include "forms/twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vuelco {

using forms::MsgBox;
using forms::MsgBoxResult;
namespace Style = forms::MsgBoxStyle;

namespace {

constexpr double kClientWidth = 6840;
constexpr double kClientHeight = 3360;
const QString kDiskErrorTitle = QStringLiteral("Error de disco");
const QString kDialogTitle = QStringLiteral("Zel Soft");
const QColor kYellow(255, 255, 0);
const QColor kBlack(0, 0, 0);

void paintText(QWidget *control, const QColor &text)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    control->setPalette(palette);
}

} // namespace

Fdisco::Fdisco(QWidget *owner) : QDialog(owner)
{
    vuelco::forms::installAccessibility();
    setObjectName(QStringLiteral("Fdisco"));
    setWindowTitle(QStringLiteral("Abrir Archivo"));
    setFont(vuelco::forms::designFont(vuelco::forms::DesignFace::MsSansSerif, 8.25, false));
    vuelco::forms::setClientSizeTwips(this, kClientWidth, kClientHeight);
    createControls();
    Form_Load();
}

void Fdisco::showModal(QWidget *owner)
{
    Fdisco dialog(owner);
    dialog.exec();
}

void Fdisco::createControls()
{
    mSurface = new vuelco::forms::PersistentSurface(this);

    Drive1 = vuelco::forms::placed(new vuelco::forms::DriveListBox(this), "Drive1", {120, 120, 2175, 315});
    Dir1 = vuelco::forms::placed(new vuelco::forms::DirListBox(this), "Dir1", {120, 480, 2535, 2340});
    File1 = vuelco::forms::placed(new vuelco::forms::FileListBox(this), "File1", {2760, 540, 3975, 2235});
    File1->setPattern(QStringLiteral("*.dat"));
    BTacepta = vuelco::forms::placed(new vuelco::forms::CommandButton(QStringLiteral("Aceptar"), this), "BTacepta", {5520, 2880, 1215, 375});
    BTcancela = vuelco::forms::placed(new vuelco::forms::CommandButton(QStringLiteral("Cancelar"), this), "BTcancela", {120, 2880, 1215, 375});

    Lelegido = vuelco::forms::placed(new vuelco::forms::PathLabel(this), "Lelegido", {2400, 120, 4335, 255});
    Lelegido->setFrameShape(QFrame::Box);
    Lelegido->setFont(vuelco::forms::designFont(vuelco::forms::DesignFace::MsSansSerif, 8.25, true));
    paintText(Lelegido, kYellow);

    // Reaches past the dialog's right edge by design: only its first 600 twips show.
    txtGraba = vuelco::forms::placed(new QLineEdit(QStringLiteral("Algo"), this), "txtGraba", {6240, 360, 3975, 375});
    txtGraba->setFont(vuelco::forms::designFont(vuelco::forms::DesignFace::Arial, 9.75, false));
    QPalette boxPalette = txtGraba->palette();
    boxPalette.setColor(QPalette::Text, kYellow);
    boxPalette.setColor(QPalette::Base, kBlack);
    txtGraba->setPalette(boxPalette);
    txtGraba->hide();

    Label1 = vuelco::forms::plainLabel(this);
    Label1->setText(QStringLiteral("Nota: NO utilizar archivos con \"Solo Lectura\""));
    paintText(Label1, kYellow);
    Label1->adjustSize();
    vuelco::forms::placed(Label1, "Label1", {1800, 3000, vuelco::forms::pixelsToTwips(Label1->width()), 195});

    // What screen readers call the lists, which have no caption of their own.
    Drive1->setAccessibleName(QStringLiteral("Unidad"));
    Dir1->setAccessibleName(QStringLiteral("Carpeta"));
    File1->setAccessibleName(QStringLiteral("Archivo"));

    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, File1);
    setTabOrder(File1, BTacepta);
    setTabOrder(BTacepta, BTcancela);
    setTabOrder(BTcancela, txtGraba);
    vuelco::forms::fitCaptions(this);

    connect(BTacepta, &QPushButton::clicked, this, &Fdisco::BTacepta_Click);
    connect(BTcancela, &QPushButton::clicked, this, &Fdisco::BTcancela_Click);
    connect(File1, &vuelco::forms::FileListBox::Click, this, &Fdisco::File1_Click);
    connect(File1, &vuelco::forms::FileListBox::DblClick, this, &Fdisco::File1_DblClick);
    connect(Drive1, &vuelco::forms::DriveListBox::Change, this, &Fdisco::Drive1_Change);
    connect(Dir1, &vuelco::forms::DirListBox::Change, this, &Fdisco::Dir1_Change);
}

void Fdisco::Form_Load()
{
    RutaCompleta.clear();
    YaActivado = 0;
    SoloRuta(Module1::RutaArchivo);
    try {
        Module1::Degradado(2, *mSurface);
    } catch (const Failure &) {
        // The backdrop is decoration; a surface too large for it keeps its plain colour.
    }
    switch (Module1::Opcion[Module1::kModo]) {
    case 0:
        File1->setPattern(QStringLiteral("*.dat"));
        setWindowTitle(QStringLiteral("Abrir Archivo (.DAT)"));
        break;
    case 1:
        setWindowTitle(QStringLiteral("Como se va a guardar el Archivo (.Bmp)"));
        txtGraba->show();
        break;
    case 2:
        File1->setPattern(QStringLiteral("*.txt"));
        setWindowTitle(QStringLiteral("Abrir Archivo (txt)"));
        break;
    default:
        break;
    }
}

bool Fdisco::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(event);
}

void Fdisco::Form_Activate()
{
    if (YaActivado == 1)
        return;
    YaActivado = 1;
    if (Module1::Opcion[Module1::kModo] == 1)
        txtGraba->setText(Module1::NombreArchivo(Module1::RutaArchivo));
}

void Fdisco::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        break;
    default:
        QDialog::keyPressEvent(event);
    }
}

void Fdisco::BTacepta_Click()
{
    const std::uint8_t mode = Module1::Opcion[Module1::kModo];
    switch (mode) {
    case 0:
        if (vuelco::forms::isBlank(Lelegido->text())) {
            MsgBox(QStringLiteral("Debe elegir un archivo"), Style::Information, kDialogTitle);
            return;
        }
        Module1::RutaArchivo = RutaCompleta;
        break;
    case 1:
        if (vuelco::forms::isBlank(txtGraba->text())) {
            MsgBox(QStringLiteral("Ingrese un nombre para guardar la imagen"), Style::Information, kDialogTitle);
            return;
        }
        // The caller of the save mode gets the name it asked for, in the folder shown.
        Module1::RutaArchivo = vuelco::forms::joinPath(Dir1->Path(), txtGraba->text());
        break;
    case 2:
        if (!RutaCompleta.isEmpty())
            Module1::RutaArchivo = RutaCompleta;
        break;
    default:
        break;
    }
    Module1::Opcion[Module1::kResultado] = 1;
    done(Accepted);
}

void Fdisco::BTcancela_Click()
{
    Module1::Opcion[Module1::kResultado] = 0;
    done(Rejected);
}

void Fdisco::File1_DblClick()
{
    BTacepta->setFocus();
    BTacepta_Click();
}

void Fdisco::SoloRuta(const QString &Ruta)
{
    try {
        const qsizetype separator = Ruta.lastIndexOf(vuelco::forms::pathSeparator());
        if (separator < 0)
            throw Failure(FailureNumber::BadFileName);
        const QString folder = vuelco::forms::asFolder(Ruta.left(separator));
        // The drive list picks the volume that holds the folder: on Windows its first
        // three characters, elsewhere the mount point.
        Drive1->setDrive(folder);
        Dir1->setPath(folder);
    } catch (const Failure &) {
        MsgBox(QStringLiteral("La Ruta+Archivo actuales no estan disponibles."), Style::Critical, kDiskErrorTitle);
        try {
            Drive1->setDrive(vuelco::forms::fallbackDrive());
            Dir1->setPath(vuelco::forms::fallbackFolder());
        } catch (const Failure &) {
            // Not even the fallback can be shown: the lists stay empty, and the user
            // can still pick another drive or cancel.
        }
    }
}

void Fdisco::Drive1_Change()
{
    for (;;) {
        try {
            Dir1->setPath(Drive1->Drive());
            return;
        } catch (const Failure &failure) {
            if (failure.number() != static_cast<std::int32_t>(FailureNumber::DeviceNotReady))
                return;
        }
        const QString question = QStringLiteral("Verifique si la unidad esta preparada.") + QChar(10) +
                                 QStringLiteral("Haga un Click en aceptar para volver a leerla.");
        if (MsgBox(question, Style::OkCancel + Style::Exclamation, kDiskErrorTitle) != MsgBoxResult::Ok) {
            try {
                Drive1->setDrive(vuelco::forms::fallbackDrive());
            } catch (const Failure &) {
                // The fallback volume is gone as well; nothing more to offer.
            }
            return;
        }
    }
}

void Fdisco::Dir1_Change() { File1->setPath(Dir1->Path()); }

void Fdisco::File1_Click()
{
    const int index = File1->ListIndex();
    if (index < 0)
        return;
    const QString name = File1->List(index);
    RutaCompleta = vuelco::forms::joinPath(Dir1->Path(), name);
    Lelegido->setText(vuelco::forms::shownPath(name));
}

} // namespace vuelco
