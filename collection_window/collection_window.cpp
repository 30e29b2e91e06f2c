#include "collection_window/collection_window.h"

#include "batch/kept_records.h"
#include "forms/command_button.h"
#include "forms/controls.h"
#include "forms/fonts.h"
#include "forms/message_box.h"
#include "forms/native_paths.h"
#include "forms/save_dialog.h"
#include "forms/text_file.h"
#include "words/confirmation_words.h"
#include "words/failure_words.h"
#include "words/layout_words.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <fstream>

namespace vuelco {

using forms::caption;
using forms::designFont;
using forms::DesignFace;
using forms::MsgBox;
using forms::MsgBoxResult;
using words::kUnknownCaption;
using words::layoutCaption;
namespace Style = forms::MsgBoxStyle;

namespace {

constexpr QChar kLineBreak{forms::kBoxLineBreak};

QString countLine(const QString &what, std::size_t count)
{
    return what + QStringLiteral(": ") + QString::number(count);
}

QString lookCounts(const batch::Summary &summary)
{
    QStringList lines{countLine(caption(layoutCaption(Layout::Arcade)), summary.arcade),
                      countLine(caption(layoutCaption(Layout::PcEmulator)), summary.pcEmulator),
                      countLine(caption(kUnknownCaption), summary.unrecognised),
                      countLine(QStringLiteral("Ilegibles"), summary.failed)};
    if (summary.sameFile > 0)
        lines.append(countLine(QStringLiteral("Otros nombres del mismo archivo"), summary.sameFile));
    return lines.join('\n');
}

// The files left in either layout after a conversion, as looked at again.
QString leftCounts(const batch::Summary &summary)
{
    return QStringList{countLine(QStringLiteral("Ahora en ") + caption(layoutCaption(Layout::Arcade)), summary.arcade),
                       countLine(QStringLiteral("Ahora en ") + caption(layoutCaption(Layout::PcEmulator)),
                                 summary.pcEmulator)}
        .join('\n');
}

QString conversionCounts(const batch::Summary &summary)
{
    QStringList lines{countLine(QStringLiteral("Convertidos"), summary.converted),
                      countLine(QStringLiteral("Ya en ese formato"), summary.alreadyThere),
                      countLine(QStringLiteral("No reconocidos"), summary.unrecognised),
                      countLine(QStringLiteral("Fallidos"), summary.failed)};
    if (summary.sameFile > 0)
        lines.append(countLine(QStringLiteral("Otros nombres del mismo archivo"), summary.sameFile));
    return lines.join('\n');
}

QString undoCounts(const batch::Summary &summary, bool simulated)
{
    return QStringList{countLine(simulated ? QStringLiteral("Se desharían") : QStringLiteral("Deshechos"),
                                 summary.converted),
                       countLine(QStringLiteral("Ya deshechos"), summary.alreadyUndone),
                       countLine(QStringLiteral("Cambiados desde entonces"), summary.changedSince),
                       countLine(QStringLiteral("No encontrados"), summary.notFound),
                       countLine(QStringLiteral("Otro archivo en su ruta"), summary.otherFile),
                       countLine(QStringLiteral("Fallidos"), summary.failed)}
        .join('\n');
}

// The names a run reported, each counted once whatever its outcome.
std::size_t reported(const batch::Summary &summary)
{
    return summary.arcade + summary.pcEmulator + summary.converted + summary.alreadyThere + summary.unrecognised +
           summary.failed + summary.sameFile + summary.alreadyUndone + summary.changedSince + summary.notFound +
           summary.otherFile;
}

// The record a window was given to undo: one name that is a record by its content.
std::optional<batch::UndoRecord> givenRecord(const QStringList &paths, bool &unreadable)
{
    if (paths.size() != 1 || !batch::isUndoRecordFile(forms::toFilesystemPath(paths.first())))
        return std::nullopt;
    std::ifstream file(forms::toFilesystemPath(paths.first()), std::ios::binary);
    std::optional<batch::UndoRecord> record = batch::readUndoRecord(file);
    unreadable = !record;
    return record ? record : batch::UndoRecord{};
}

// The names given, as the window's top line shows them.
QString namesText(const QStringList &paths)
{
    QString first = forms::shownPath(paths.first());
    if (paths.size() == 1)
        return first;
    return QStringLiteral("%1 (y %2 más)").arg(first).arg(paths.size() - 1);
}

// The first names given, one a line: a drop of thousands of files must not make a tooltip
// taller than the screen.
QString namesTip(const QStringList &paths)
{
    constexpr qsizetype kMostLines = 12;
    QStringList shown = paths.mid(0, kMostLines);
    std::transform(shown.begin(), shown.end(), shown.begin(), forms::shownPath);
    QString tip = shown.join('\n');
    if (paths.size() > kMostLines)
        tip += QStringLiteral("\n...");
    return tip;
}

template <class Control>
Control *control(QWidget *parent, const char *name, const QString &accessibleName)
{
    auto *widget = new Control(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

// A label is read by its text, which is what changes; what it shows is its description.
QLabel *plainLabel(QWidget *parent, const char *name, const QString &description)
{
    auto *label = forms::plainLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleDescription(description);
    return label;
}

QPushButton *commandButton(QWidget *parent, const char *name, const QString &text)
{
    // Read without the dots that say a button opens another window.
    auto *button = control<forms::CommandButton>(parent, name, QString(text).remove('.'));
    button->setText(text);
    button->setFont(designFont(DesignFace::MsSansSerif, 9.75, false));
    return button;
}

// Where the list is proposed to go: the user's Documents, or else the folder looked at;
// never the program's own folder, which may not be written to.
QString proposedListPath(const QStringList &paths)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    std::error_code error;
    if (folder.isEmpty() || !std::filesystem::is_directory(forms::toFilesystemPath(folder), error)) {
        const QString first = paths.value(0);
        const bool isFolder = std::filesystem::is_directory(forms::toFilesystemPath(first), error);
        folder = isFolder ? first : QFileInfo(first).path();
    }
    const QString name = QStringLiteral("vuelco-informe-%1.txt").arg(QDate::currentDate().toString(Qt::ISODate));
    return forms::joinPath(QDir::toNativeSeparators(folder), name);
}

} // namespace

CollectionWindow::CollectionWindow(const QStringList &paths, QWidget *owner)
    : QDialog(owner), mPaths(paths), mRecordToUndo(givenRecord(paths, mRecordUnreadable)), mRun(this),
      mSaveNameAsker([paths](QWidget *asker) {
          return forms::askSaveFileName(asker, QStringLiteral("Guardar la lista"), proposedListPath(paths),
                                        QStringLiteral("Texto (*.txt)"), QStringLiteral("txt"));
      })
{
    setObjectName(QStringLiteral("Coleccion"));
    setWindowTitle(mRecordToUndo ? QStringLiteral("BGA: deshacer") : QStringLiteral("BGA: varios archivos"));
    setFont(designFont(DesignFace::MsSansSerif, 8.25, false));
    createControls();
    connect(&mRun, &CollectionRun::progressed, this, &CollectionWindow::showProgress);
    connect(&mRun, &CollectionRun::finished, this, &CollectionWindow::endRun);
    startRun(mRecordToUndo ? batch::Job::SimulateUndo : batch::Job::Look, Layout::Arcade);
}

bool CollectionWindow::showModal(QWidget *owner, const QStringList &paths)
{
    CollectionWindow window(paths, owner);
    window.exec();
    return window.mConvertedAny;
}

void CollectionWindow::setSaveNameAsker(SaveNameAsker asker) { mSaveNameAsker = std::move(asker); }

void CollectionWindow::createControls()
{
    LNombres = plainLabel(this, "LNombres", QStringLiteral("Archivos elegidos"));
    LNombres->setText(namesText(mPaths));
    LNombres->setToolTip(namesTip(mPaths));
    LNombres->setWordWrap(true);
    LNombres->setFont(designFont(DesignFace::MsSansSerif, 8.25, true));
    forms::showYellowOnBlack(LNombres);

    LEstado = plainLabel(this, "LEstado", QStringLiteral("Estado"));
    LEstado->setWordWrap(true);
    LEstado->setFont(designFont(DesignFace::MsSansSerif, 9.75, true));
    LCuentas = plainLabel(this, "LCuentas", QStringLiteral("Cuentas"));
    LCuentas->setFont(designFont(DesignFace::MsSansSerif, 9.75, false));

    PBavance = control<QProgressBar>(this, "PBavance", QStringLiteral("Avance"));
    PBavance->setTextVisible(false);
    LAvance = plainLabel(this, "LAvance", QStringLiteral("Hechos y quedan"));
    LAvance->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // As wide as the counts of a large collection from the start: the window must not
    // grow under the pointer while they do.
    LAvance->setMinimumWidth(LAvance->fontMetrics().horizontalAdvance(QStringLiteral("Hechos: 0000000. Quedan: 0000000")));

    auto *FRconv = new QGroupBox(QStringLiteral("Convertir..."), this);
    FRconv->setObjectName(QStringLiteral("FRconv"));
    FRconv->setFont(designFont(DesignFace::MsSansSerif, 9.75, true));
    BTguarda[0] = commandButton(FRconv, "BTguarda0", QStringLiteral("a Arcade"));
    BTguarda[1] = commandButton(FRconv, "BTguarda1", QStringLiteral("a Emulador Pc"));
    auto *conversions = new QHBoxLayout(FRconv);
    for (int index = 0; index < 2; ++index) {
        QPushButton *button = BTguarda[static_cast<std::size_t>(index)];
        conversions->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, index] { BTguarda_Click(index); });
    }
    FRconv->setVisible(!mRecordToUndo);

    TXinforme = control<QPlainTextEdit>(this, "TXinforme", QStringLiteral("Archivos no convertidos"));
    TXinforme->setReadOnly(true);
    TXinforme->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    TXinforme->setTabChangesFocus(true);
    TXinforme->setLineWrapMode(QPlainTextEdit::NoWrap);

    BTcancelar = commandButton(this, "BTcancelar", QStringLiteral("Cancelar"));
    BTdeshacer = commandButton(this, "BTdeshacer", QStringLiteral("Deshacer"));
    BTdeshacer->setEnabled(false);
    connect(BTdeshacer, &QPushButton::clicked, this, &CollectionWindow::BTdeshacer_Click);
    BTcopiar = commandButton(this, "BTcopiar", QStringLiteral("Copiar"));
    BTguardar = commandButton(this, "BTguardar", QStringLiteral("Guardar..."));
    BTcerrar = commandButton(this, "BTcerrar", QStringLiteral("Cerrar"));
    connect(BTcancelar, &QPushButton::clicked, this, &CollectionWindow::cancel);
    connect(BTcopiar, &QPushButton::clicked, this, &CollectionWindow::copyList);
    connect(BTguardar, &QPushButton::clicked, this, &CollectionWindow::saveList);
    connect(BTcerrar, &QPushButton::clicked, this, [this] {
        mRun.stop();
        accept();
    });

    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {BTcancelar, BTdeshacer, BTcopiar, BTguardar, BTcerrar})
        buttons->addWidget(button);
    auto *progress = new QHBoxLayout;
    progress->addWidget(PBavance, 1);
    progress->addWidget(LAvance);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LNombres);
    layout->addWidget(LEstado);
    layout->addWidget(LCuentas);
    layout->addLayout(progress);
    layout->addWidget(FRconv);
    layout->addWidget(TXinforme, 1);
    layout->addLayout(buttons);
    // The counts and the progress grow by lines and words as the runs go: the window grows
    // with them rather than cutting them off.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    resize(480, 420);

    setTabOrder(BTguarda[0], BTguarda[1]);
    setTabOrder(BTguarda[1], TXinforme);
    setTabOrder(TXinforme, BTcancelar);
    setTabOrder(BTcancelar, BTdeshacer);
    setTabOrder(BTdeshacer, BTcopiar);
    setTabOrder(BTcopiar, BTguardar);
    setTabOrder(BTguardar, BTcerrar);
}

batch::Request CollectionWindow::requestFor(batch::Job job, Layout target) const
{
    batch::Request request;
    request.job = job;
    request.target = target;
    if (job == batch::Job::Undo || job == batch::Job::SimulateUndo) {
        const batch::UndoRecord &undo = mRecordToUndo ? *mRecordToUndo : mRun.converted();
        request.names = undo.paths;
        request.undo = undo.steps;
        // A path named twice (records joined by hand) must see its steps in order.
        request.workers = undo.repeatsAPath ? 1 : batch::kDefaultWorkers;
        return request;
    }
    request.names.reserve(static_cast<std::size_t>(mPaths.size()));
    for (const QString &path : mPaths)
        request.names.push_back(forms::toFilesystemPath(path).native());
    request.recursive = true;
    return request;
}

std::unique_ptr<CollectionRun::KeptRecord> CollectionWindow::keepRecord()
{
    auto record = std::make_unique<CollectionRun::KeptRecord>();
    try {
        const std::filesystem::path folder = batch::keptRecordsFolder();
        if (folder.empty())
            throw Failure(FailureNumber::PathNotFound);
        // Names by the local date and time sort by age, which is how the oldest go.
        const QString when = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
        record->path = batch::createKeptRecord(record->file, folder, when.toStdString());
        return record;
    } catch (const Failure &failure) {
        MsgBox(QStringLiteral("No se pudo guardar el registro que permite deshacer el cambio; no se tocó ningún archivo.") +
                   kLineBreak + QString::fromStdString(words::errorPrompt(failure, forms::kBoxLineBreak)),
               Style::Critical, QStringLiteral("Alto!!"));
        return nullptr;
    }
}

void CollectionWindow::startRun(batch::Job job, Layout target)
{
    // A run that writes files keeps its record, or does not start.
    std::unique_ptr<CollectionRun::KeptRecord> record;
    if (job == batch::Job::Convert || job == batch::Job::Undo) {
        record = keepRecord();
        if (!record)
            return;
    }
    const Stage before = mStage;
    if (job == batch::Job::Convert)
        mStage = Stage::Converting;
    else if (job == batch::Job::Undo)
        mStage = Stage::Undoing;
    else
        mStage = before == Stage::Converting || before == Stage::Undoing ? Stage::LookingAgain : Stage::Looking;
    if (job == batch::Job::Undo)
        mLookedFiles = mRecordToUndo ? mRecordToUndo->paths.size() : mRun.converted().paths.size();
    mRun.start(requestFor(job, target), std::move(record));
    if (mStage == Stage::LookingAgain) {
        showStage(LEstado->text());
        return;
    }
    QString state = QStringLiteral("Mirando los archivos...");
    if (mStage == Stage::Converting)
        state = QStringLiteral("Convirtiendo a %1...").arg(caption(layoutCaption(target)));
    else if (mStage == Stage::Undoing)
        state = QStringLiteral("Deshaciendo...");
    showStage(state);
    mProgressShown.invalidate();
    showProgress(0, 0, false);
}

void CollectionWindow::showProgress(qulonglong done, qulonglong found, bool complete)
{
    // The look after a conversion leaves the conversion's progress standing.
    if (mStage == Stage::LookingAgain)
        return;
    // While the walk goes on, the conversion expects the files the look found.
    const qulonglong expected = complete ? found : std::max<qulonglong>(found, mLookedFiles);
    const bool known = complete || mStage == Stage::Converting || mStage == Stage::Undoing;
    const bool ended = !mRun.running();
    // A range of nothing is the busy bar, which must stop once the run has.
    PBavance->setRange(0, known ? static_cast<int>(std::min<qulonglong>(expected, INT_MAX)) : ended ? 1 : 0);
    PBavance->setValue(static_cast<int>(std::min<qulonglong>(known ? done : 0, INT_MAX)));
    // Words that change many times a second are only noise to a screen reader.
    constexpr qint64 kTextEveryMilliseconds = 250;
    if (!ended && done > 0 && mProgressShown.isValid() && mProgressShown.elapsed() < kTextEveryMilliseconds)
        return;
    mProgressShown.start();
    LAvance->setText(known ? QStringLiteral("Hechos: %1. Quedan: %2").arg(done).arg(expected - done)
                           : QStringLiteral("Hechos: %1").arg(done));
}

void CollectionWindow::endRun()
{
    const batch::Summary &summary = mRun.summary();
    switch (mStage) {
    case Stage::Looking:
        TXinforme->setPlainText((refusedLines() + mRun.problems()).join('\n'));
        showProgress(reported(summary), reported(summary), !summary.stopped);
        if (summary.stopped)
            LEstado->setText(QStringLiteral("Vista cancelada: no se miraron todos los archivos."));
        else if (mRecordToUndo)
            LEstado->setText(summary.converted > 0 ? QStringLiteral("Elija Deshacer para deshacer el cambio.")
                                                   : QStringLiteral("No hay archivos para deshacer."));
        else if (summary.arcade + summary.pcEmulator > 0)
            LEstado->setText(QStringLiteral("Elija el formato al que convertirlos."));
        else
            LEstado->setText(QStringLiteral("No hay archivos para convertir."));
        if (mRecordToUndo) {
            mUndoOffered = !summary.stopped && summary.converted > 0;
            mToUndo = summary.converted;
        }
        endLook(mRecordToUndo ? undoCounts(summary, true) : lookCounts(summary));
        break;
    case Stage::Converting:
        mConvertedAny = mConvertedAny || summary.converted > 0;
        mUndoOffered = summary.converted > 0;
        mToUndo = mRun.converted().paths.size();
        endWritingRun(conversionCounts(summary), QStringLiteral("Finalizado"));
        break;
    case Stage::Undoing:
        mConvertedAny = mConvertedAny || summary.converted > 0;
        // A cancelled undo can be taken up again: what it undid is then already undone.
        mUndoOffered = summary.stopped;
        endWritingRun(undoCounts(summary, false), QStringLiteral("Deshecho"));
        break;
    case Stage::LookingAgain:
        endLook(mConversionCounts + QStringLiteral("\n\n") + leftCounts(summary));
        break;
    case Stage::Looked:
        break;
    }
}

void CollectionWindow::endWritingRun(const QString &counts, const QString &ended)
{
    const batch::Summary &summary = mRun.summary();
    TXinforme->setPlainText(mRun.problems().join('\n'));
    showProgress(reported(summary), reported(summary), !summary.stopped);
    mConversionCounts = counts;
    LCuentas->setText(counts);
    LEstado->setText(summary.stopped ? QStringLiteral("Cancelado: no se tomaron más archivos.") : ended);
    if (const std::optional<Failure> &failure = mRun.recordFailure())
        MsgBox(QStringLiteral("No se pudo escribir el registro; no se tomaron más archivos.") + kLineBreak +
                   QString::fromStdString(words::errorPrompt(*failure, forms::kBoxLineBreak)),
               Style::Critical, QStringLiteral("Alto!!"));
    // Given a record, only its files are known: nothing is left to look at.
    if (mRecordToUndo) {
        endLook(counts);
        return;
    }
    // What is left in either layout is looked at afresh: the batch can then be
    // continued after a cancel, or turned back after it finished.
    startRun(batch::Job::Look, Layout::Arcade);
}

QStringList CollectionWindow::refusedLines() const
{
    QStringList lines;
    const QString record = forms::shownPath(mPaths.value(0));
    if (mRecordUnreadable)
        lines.append(record + QStringLiteral(": no se pudo leer el registro"));
    if (mRecordToUndo) {
        for (const std::size_t line : mRecordToUndo->refusedLines)
            lines.append(QStringLiteral("%1, línea %2: no es una línea de Vuelco completa (no se deshace)")
                             .arg(record)
                             .arg(line));
    }
    return lines;
}

void CollectionWindow::endLook(const QString &counts)
{
    const batch::Summary &summary = mRun.summary();
    mStage = Stage::Looked;
    mLookedFiles = reported(summary);
    LCuentas->setText(counts);
    // A look cancelled counted only some files: nothing is offered on so little.
    BTguarda[0]->setEnabled(!summary.stopped && summary.pcEmulator > 0);
    BTguarda[1]->setEnabled(!summary.stopped && summary.arcade > 0);
    BTdeshacer->setEnabled(mUndoOffered);
    showStage(LEstado->text());
    offerNextStep();
    emit runEnded();
}

void CollectionWindow::offerNextStep()
{
    QPushButton *next = BTcerrar;
    const auto last = static_cast<std::size_t>(mLastConversion);
    if (mRecordToUndo && BTdeshacer->isEnabled())
        next = BTdeshacer;
    else if (BTguarda[last]->isEnabled())
        next = BTguarda[last];
    else if (BTguarda[1 - last]->isEnabled())
        next = BTguarda[1 - last];
    QString outcome = LEstado->text() + '\n' + LCuentas->text();
    outcome.replace(QStringLiteral("\n\n"), QStringLiteral("\n"));
    for (QPushButton *button : {BTguarda[0], BTguarda[1], BTdeshacer, BTcerrar})
        button->setAccessibleDescription(button == next ? outcome : QString());
    next->setFocus(Qt::OtherFocusReason);
}

void CollectionWindow::showStage(const QString &state)
{
    LEstado->setText(state);
    // The look after a conversion only tells what is left: the window can be closed meanwhile.
    const bool running = mStage == Stage::Looking || mStage == Stage::Converting || mStage == Stage::Undoing;
    if (running) {
        BTguarda[0]->setEnabled(false);
        BTguarda[1]->setEnabled(false);
        BTdeshacer->setEnabled(false);
    }
    BTcancelar->setEnabled(running);
    BTcerrar->setEnabled(!running);
    BTcopiar->setEnabled(!running && !TXinforme->document()->isEmpty());
    BTguardar->setEnabled(BTcopiar->isEnabled());
}

void CollectionWindow::BTguarda_Click(int Index)
{
    if (mStage != Stage::Looked || !BTguarda.at(static_cast<std::size_t>(Index))->isEnabled())
        return;
    const Layout target = Index == 0 ? Layout::Arcade : Layout::PcEmulator;
    const batch::Summary &looked = mRun.summary();
    const std::size_t toConvert = target == Layout::Arcade ? looked.pcEmulator : looked.arcade;
    QStringList question;
    for (const std::string &line : words::overwriteQuestion(words::Overwritten::CollectionFiles, toConvert))
        question.append(caption(line));
    const QString confirmation = question.join(kLineBreak);
    if (MsgBox(confirmation, Style::YesNo | Style::DefaultButton2, QStringLiteral("Convertir")) != MsgBoxResult::Yes)
        return;
    mLastConversion = Index;
    startRun(batch::Job::Convert, target);
}

void CollectionWindow::BTdeshacer_Click()
{
    if (mStage != Stage::Looked || !BTdeshacer->isEnabled())
        return;
    const QString files = mToUndo == 1 ? QStringLiteral("El archivo convertido se va a")
                                       : QStringLiteral("Los %1 archivos convertidos se van a").arg(mToUndo);
    const QString confirmation = files + kLineBreak + QStringLiteral("Sobreescribir para deshacer el cambio.") +
                                 kLineBreak + kLineBreak + QStringLiteral("¿Está seguro?");
    if (MsgBox(confirmation, Style::YesNo | Style::DefaultButton2, QStringLiteral("Deshacer")) != MsgBoxResult::Yes)
        return;
    startRun(batch::Job::Undo, Layout::Arcade);
}

void CollectionWindow::cancel()
{
    if (!mRun.running())
        return;
    mRun.stop();
    BTcancelar->setEnabled(false);
    LEstado->setText(QStringLiteral("Cancelando: los archivos en curso terminan..."));
}

void CollectionWindow::copyList() { QGuiApplication::clipboard()->setText(TXinforme->toPlainText()); }

void CollectionWindow::saveList()
{
    const QString name = mSaveNameAsker(this);
    if (name.isEmpty())
        return;
    try {
        forms::saveTextFile(name, TXinforme->toPlainText() + '\n');
    } catch (const Failure &failure) {
        MsgBox(QStringLiteral("No se pudo guardar la lista.") + kLineBreak +
                   QString::fromStdString(words::errorPrompt(failure, forms::kBoxLineBreak)),
               Style::Critical, QStringLiteral("Alto!!"));
    }
}

void CollectionWindow::closeEvent(QCloseEvent *event)
{
    if (mRun.running() && mStage != Stage::LookingAgain) {
        cancel();
        event->ignore();
        return;
    }
    mRun.stop();
    QDialog::closeEvent(event);
}

void CollectionWindow::reject()
{
    if (mRun.running() && mStage != Stage::LookingAgain) {
        cancel();
        return;
    }
    mRun.stop();
    QDialog::reject();
}

} // namespace vuelco
