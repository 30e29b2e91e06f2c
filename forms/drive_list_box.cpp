#include "forms/drive_list_box.h"

#include "runtime/failure.h"
#include "forms/native_paths.h"
#include "forms/volumes.h"

#include <QFileIconProvider>

namespace vuelco::forms {

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    refresh();
    if (count() > 0) {
        mDrive = itemData(0).toString();
        const QSignalBlocker quiet(this);
        setCurrentIndex(0);
    }
    connect(this, &QComboBox::activated, this, &DriveListBox::select);
}

QString DriveListBox::Drive() const
{
    const int index = findData(mDrive);
    return index < 0 ? mDrive : itemText(index);
}

void DriveListBox::setDrive(const QString &drive)
{
    refresh();
    const QString root = Volumes::current().rootOf(drive);
    const int index = root.isEmpty() ? -1 : findData(root);
    if (index < 0)
        throw Failure(FailureNumber::DeviceNotReady, toFilesystemPath(drive));
    select(index);
}

void DriveListBox::showPopup()
{
    refresh();
    QComboBox::showPopup();
}

// The volume set may change while the program runs (a stick plugged in or pulled out).
// A selected drive that is gone is shown as no selection, never as another drive.
void DriveListBox::refresh()
{
    const QSignalBlocker quiet(this);
    clear();
    const QFileIconProvider icons;
    for (const QString &root : offeredRoots())
        addItem(icons.icon(QFileIconProvider::Drive), driveCaption(root), root);
    setCurrentIndex(findData(mDrive));
}

void DriveListBox::select(int index)
{
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index);
    }
    const QString drive = itemData(index).toString();
    if (drive == mDrive)
        return;
    mDrive = drive;
    emit Change();
}

} // namespace vuelco::forms
