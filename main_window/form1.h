#pragma once

#include "core/bga_header.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vuelco {

// The main window: shows the chosen file's path and layout, loads a file through the
// file chooser (BTcarga) and converts its header in place (BTguarda 0 "a Arcade",
// 1 "a Emulador Pc"). While either operation works on the file the busy frame FRespera
// is shown, and a click or a drop that arrives meanwhile does nothing. Files also come
// from outside the chooser: named on the command line or dropped on the window (local
// files only); one file loads as if chosen, several, a folder or a batch's record go to
// the collection opener.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // Shows the modal file chooser for the request in Module1 and returns once it has
    // closed; the window passes itself as the owner.
    using Chooser = std::function<void(QWidget *owner)>;

    // Opens several files or folders at once, modally over the window that passes itself
    // as the owner: the collection window, unless a test puts another opener in place.
    // True when it converted any file.
    using CollectionOpener = std::function<bool(QWidget *owner, const QStringList &paths)>;

    explicit Form1(QWidget *parent = nullptr);

    // Puts another chooser in place of Fdisco, as tests do to answer the request.
    void setChooser(Chooser chooser);
    void setCollectionOpener(CollectionOpener opener);

    void BTcarga_Click();
    void BTguarda_Click(int Index);

    // Loads the file exactly as if it had been chosen in the chooser: RutaArchivo and
    // RutaElegida take the path, so the chooser opens next in its folder. Does nothing
    // while the window is busy.
    void loadFile(const QString &path);
    // What was given to the window from outside: one file loads, several names, a folder
    // or a record to undo go to the collection opener; nothing happens while the window is busy.
    void openFiles(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createControls();
    void Form_Load();
    // The unrecognised outcome: hides the busy frame, shows the window as below, yields once.
    void MarcarDesconocido();
    // The window as for an unrecognised file, without the yield: also what a failed
    // load leaves, so the groups of one file can never be written into another.
    void showUnknown();
    void showLayout(vuelco::Layout layout);
    // Puts focus on the next step, the conversion that applies (else "..." for another
    // file), and gives it what the load or the conversion came to as its description: the
    // labels that change have no focus, and a screen reader reads the focused control.
    void offerNextStep(const QString &outcome);
    // After another part of the program may have rewritten the loaded file: loads it again,
    // or, when it is gone, shows the window as before any load.
    void reloadFile();
    [[nodiscard]] bool isBusy() const;

    QLabel *Picture1 = nullptr;
    QGroupBox *FRespera = nullptr;
    QCheckBox *CHwa = nullptr;
    QGroupBox *FRconv = nullptr;
    std::array<QPushButton *, 2> BTguarda{};
    QPushButton *BTcarga = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *LTipo = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *LRuta = nullptr;
    QLabel *Label1 = nullptr;

    QString RutaElegida;
    // The groups the last load read from RutaElegida, in arcade order; empty when no
    // conversion may write them (nothing loaded, unrecognised, or the load failed).
    std::optional<vuelco::Groups> mGroups;
    Chooser mChooser;
    CollectionOpener mCollectionOpener;
};

} // namespace vuelco
