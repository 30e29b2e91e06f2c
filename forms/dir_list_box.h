#pragma once

#include <QListWidget>

namespace vuelco::forms {

// The folder list: the folders from the volume's root down to the shown one, indented,
// then the shown folder's subfolders, sorted without regard to case (hidden ones left
// out); each entry's text is the folder's bare name, the indentation is drawn. Double-click or Enter on an entry opens it. Changing Path, by the user or from
// code, emits Change before the change returns.
class DirListBox : public QListWidget {
    Q_OBJECT

public:
    explicit DirListBox(QWidget *parent = nullptr);

    // The shown folder, in native form; a root keeps its final separator.
    [[nodiscard]] QString Path() const { return mPath; }
    // Shows a folder, or the current folder of a drive named as the drive list names it
    // (see folderOfDrive). Throws DeviceNotReady (68) when its volume cannot be read,
    // PathNotFound (76) when it is not a folder, PermissionDenied (70) when it may not
    // be listed; the list is left as it was then.
    void setPath(const QString &path);

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void open(QListWidgetItem *item);
    void fill();

    QString mPath;
};

} // namespace vuelco::forms
