#pragma once

#include <QComboBox>

namespace vuelco::forms {

// A drop-down list of the volumes (see Volumes) with the selected one as its Drive.
// Changing the drive, by the user or from code, emits Change before the change returns,
// so a handler connected to it runs nested inside the assignment. The volumes are read
// again each time the list drops down or the drive is set, so one mounted meanwhile is
// offered and one removed is not.
class DriveListBox : public QComboBox {
    Q_OBJECT

public:
    explicit DriveListBox(QWidget *parent = nullptr);

    // The selected drive as the list shows it ("c: [SISTEMA]" on Windows; "/",
    // "/media/usb" elsewhere). The folder list takes it for the drive's current folder.
    [[nodiscard]] QString Drive() const;
    // Selects the volume that holds the given drive or path text; throws
    // DeviceNotReady (68) when no volume does.
    void setDrive(const QString &drive);

    void showPopup() override;

signals:
    void Change();

private:
    void refresh();
    void select(int index);

    QString mDrive;
};

} // namespace vuelco::forms
