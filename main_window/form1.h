#pragma once

#include "core/bga_header.h"

#include <QString>
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
// is shown, and a click that arrives meanwhile does nothing.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // Shows the modal file chooser for the request in Module1 and returns once it has
    // closed; the window passes itself as the owner.
    using Chooser = std::function<void(QWidget *owner)>;

    explicit Form1(QWidget *parent = nullptr);

    // Puts another chooser in place of Fdisco, as tests do to answer the request.
    void setChooser(Chooser chooser);

    void BTcarga_Click();
    void BTguarda_Click(int Index);

private:
    void createControls();
    void Form_Load();
    // The unrecognised outcome: hides the busy frame, shows the window as below, yields once.
    void MarcarDesconocido();
    // The window as for an unrecognised file, without the yield: also what a failed
    // load leaves, so the groups of one file can never be written into another.
    void showUnknown();
    void showLayout(vuelco::Layout layout);
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
};

} // namespace vuelco
