#pragma once

#include "collection_window/collection_run.h"
#include "core/bga_header.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vuelco {

// The window for several files or folders at once, modal over the window that opens it.
// It first looks at every file, read-only (folders walked for their ".dat" files), and
// counts them by layout; then converts those in the other layout to the one chosen
// (BTguarda 0 "a Arcade", 1 "a Emulador Pc") after the same confirmation as for one file.
// Both runs go on the engine's threads and can be cancelled: no new file is taken and those
// in flight finish whole. At the end it lists the files that failed or are no BGA file,
// with the reason, a list that can be copied and saved as text. After a conversion,
// finished or cancelled, it looks at the files again, so that what is left can be
// converted on and what was converted can be turned back.
//
// After a conversion that wrote any file, "Deshacer" (BTdeshacer) takes back exactly the
// files it wrote, after a confirmation, with progress and cancelling as for a conversion,
// then lists the files not taken back and why. Every run that writes files keeps its
// record in the user's folder for them (batch::keptRecordsFolder). Given one such record
// (known by its content, whatever its name), the window looks at what undoing it would do,
// then offers "Deshacer" for it alone.
class CollectionWindow : public QDialog {
    Q_OBJECT

public:
    // Asks where to save the list: a file name, or nothing when the user cancels.
    using SaveNameAsker = std::function<QString(QWidget *owner)>;

    // Starts the look at once; it is told as soon as the event loop runs.
    CollectionWindow(const QStringList &paths, QWidget *owner);

    // Shows the window modally over owner and returns once it is closed: true when it
    // converted any file.
    static bool showModal(QWidget *owner, const QStringList &paths);

    // Puts another asker in place of the system's save dialog, as tests do.
    void setSaveNameAsker(SaveNameAsker asker);

    void BTguarda_Click(int Index);
    void BTdeshacer_Click();

signals:
    // A run ended (the look or the conversion), finished or cancelled.
    void runEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

public slots:
    // Escape and the close box: while a run goes they cancel it, and the window stays.
    void reject() override;

private:
    enum class Stage : std::uint8_t { Looking, Looked, Converting, Undoing, LookingAgain };

    void createControls();
    void startRun(batch::Job job, Layout target);
    [[nodiscard]] batch::Request requestFor(batch::Job job, Layout target) const;
    // The record of a run about to write files; nothing, said in a box, when it cannot be made.
    [[nodiscard]] std::unique_ptr<CollectionRun::KeptRecord> keepRecord();
    // Ends a conversion or an undo: its report, its counts, the next look.
    void endWritingRun(const QString &counts, const QString &ended);
    // The record given, in the words of the report: the lines that are no lines of Vuelco's.
    [[nodiscard]] QStringList refusedLines() const;
    void showProgress(qulonglong done, qulonglong found, bool complete);
    void endRun();
    void endLook(const QString &counts);
    // Puts focus on the next step (a conversion that applies, else Cerrar) and tells it
    // what the run came to, which a screen reader reads as focus lands there.
    void offerNextStep();
    void cancel();
    void copyList();
    void saveList();
    void showStage(const QString &state);

    QStringList mPaths;
    // Given a record, what it tells of; the window then undoes it and nothing else.
    bool mRecordUnreadable = false;  // before mRecordToUndo, which sets it
    std::optional<batch::UndoRecord> mRecordToUndo;
    bool mUndoOffered = false;     // the last conversion, or the record given, has files to take back
    std::size_t mToUndo = 0;       // how many, for the confirmation
    CollectionRun mRun;
    Stage mStage = Stage::Looking;
    std::size_t mLookedFiles = 0;  // what the conversion expects to find, from the look
    bool mConvertedAny = false;
    int mLastConversion = 0;       // the index of the conversion last run
    QString mConversionCounts;     // the last conversion's counts, shown above those looked at again
    QElapsedTimer mProgressShown;  // since "Hechos" was last written
    SaveNameAsker mSaveNameAsker;

    QLabel *LNombres = nullptr;
    QLabel *LEstado = nullptr;
    QLabel *LCuentas = nullptr;
    QProgressBar *PBavance = nullptr;
    QLabel *LAvance = nullptr;
    std::array<QPushButton *, 2> BTguarda{};
    QPlainTextEdit *TXinforme = nullptr;
    QPushButton *BTcancelar = nullptr;
    QPushButton *BTdeshacer = nullptr;
    QPushButton *BTcopiar = nullptr;
    QPushButton *BTguardar = nullptr;
    QPushButton *BTcerrar = nullptr;
};

} // namespace vuelco
