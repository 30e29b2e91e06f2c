#include "forms/dir_list_box.h"

#include "runtime/failure.h"
#include "forms/caseless_names.h"
#include "forms/folder_entries.h"
#include "forms/folder_entry_delegate.h"
#include "forms/message_box.h"
#include "forms/native_paths.h"
#include "forms/volumes.h"
#include "words/failure_words.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

namespace vuelco::forms {
namespace {

constexpr int kPathRole = Qt::UserRole;

QString nativeFolder(const QString &path)
{
    const QString clean = QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(path)));
    // cleanPath drops the separator of a Windows drive root ("C:"), which must keep it.
    return clean.size() == 2 && clean.at(1) == QLatin1Char(':') ? clean + pathSeparator() : clean;
}

} // namespace

DirListBox::DirListBox(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    setItemDelegate(new FolderEntryDelegate(this));
    connect(this, &QListWidget::itemActivated, this, &DirListBox::open);
}

void DirListBox::setPath(const QString &path)
{
    const QString folder = nativeFolder(folderOfDrive(path));
    requireReady(folder);
    std::error_code error;
    if (!std::filesystem::is_directory(toFilesystemPath(folder), error))
        throw Failure(FailureNumber::PathNotFound, toFilesystemPath(folder));
    if (!mayList(folder))
        throw Failure(FailureNumber::PermissionDenied, toFilesystemPath(folder));
    const bool changed = folder != mPath;
    mPath = folder;
    // The file list that Change moves takes its names from this same read.
    const SharedFolderRead read(folder);
    fill();
    if (changed)
        emit Change();
}

void DirListBox::fill()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // From the volume's root down to the shown folder.
    QStringList chain;
    const QString root = Volumes::current().rootOf(mPath);
    for (QString folder = mPath;;) {
        chain.prepend(folder);
        if (folder == root || isRootFolder(folder))
            break;
        const QString parent = nativeFolder(folder + pathSeparator() + QStringLiteral(".."));
        if (parent == folder)
            break;
        folder = parent;
    }
    int depth = 0;
    const auto add = [this, &depth](const QIcon &icon, const QString &name, const QString &folder) {
        auto *item = new QListWidgetItem(icon, name, this);
        item->setData(kPathRole, folder);
        item->setData(FolderEntryDelegate::kDepthRole, depth);
    };
    for (const QString &folder : chain) {
        add(openIcon, depth == 0 ? folder : QFileInfo(QDir::fromNativeSeparators(folder)).fileName(), folder);
        ++depth;
    }
    setCurrentRow(count() - 1);

    QStringList subfolders = folderEntries(mPath).folders;
    sortWithoutCase(subfolders);
    for (const QString &name : subfolders)
        add(closedIcon, name, joinPath(mPath, name));
}

void DirListBox::keyPressEvent(QKeyEvent *event)
{
    // Enter opens the entry and goes no further, so it never reaches a dialog's buttons.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() != nullptr) {
        open(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

// Opening is the user's own act, so a folder that cannot be shown is said here and the
// list stays where it was.
void DirListBox::open(QListWidgetItem *item)
{
    try {
        setPath(item->data(kPathRole).toString());
    } catch (const Failure &failure) {
        MsgBox(QString::fromStdString(words::errorPrompt(failure, kBoxLineBreak)), MsgBoxStyle::Exclamation,
               QStringLiteral("Error de disco"));
    }
}

} // namespace vuelco::forms
