#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vuelco::forms {
class DirListBox;
class DriveListBox;
class FileListBox;
class PersistentSurface;
} // namespace vuelco::forms

namespace vuelco {

// The program's own modal file chooser: drive, folder and file lists, the name of the
// file last clicked, a name box for the save mode, Aceptar and Cancelar. The request
// comes in and the answer goes out through Module1's RutaArchivo and Opcion. Every
// showing is a new dialog, loaded from its design state and destroyed when it closes.
//
// Only mode 0 (open a "*.dat" file) has a caller in this program. Modes 1 (the name box,
// to save a picture) and 2 (open a "*.txt" file) stay whole all the same: the modes in
// Opcion are the dialog's contract with its callers, and a caller may ask for any of them.
class Fdisco : public QDialog {
    Q_OBJECT

public:
    // Loads the dialog for the request in Module1 (Form_Load runs here).
    explicit Fdisco(QWidget *owner = nullptr);

    // Loads a new dialog, shows it modally and returns once it has been unloaded.
    static void showModal(QWidget *owner);

    // Points the drive and folder lists, and through them the file list, at the folder
    // of Ruta; a folder that cannot be shown is said, and the lists go to the fallback.
    void SoloRuta(const QString &Ruta);

protected:
    bool event(QEvent *event) override;
    // Enter and Escape that reach the dialog, from a list or the name box, close nothing:
    // neither button is a default or a cancel button. A focused button takes Enter itself.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void Form_Load();
    void Form_Activate();
    void BTacepta_Click();
    void BTcancela_Click();
    void File1_DblClick();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();

    vuelco::forms::PersistentSurface *mSurface = nullptr;
    vuelco::forms::DriveListBox *Drive1 = nullptr;
    vuelco::forms::DirListBox *Dir1 = nullptr;
    vuelco::forms::FileListBox *File1 = nullptr;
    QPushButton *BTacepta = nullptr;
    QPushButton *BTcancela = nullptr;
    QLabel *Lelegido = nullptr;
    QLineEdit *txtGraba = nullptr;
    QLabel *Label1 = nullptr;

    QString RutaCompleta;
    std::uint8_t YaActivado = 0;
};

} // namespace vuelco
