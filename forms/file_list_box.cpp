#include "forms/file_list_box.h"

#include "forms/caseless_names.h"
#include "forms/folder_entries.h"
#include "forms/shown_name_delegate.h"

#include <QKeyEvent>
#include <QStringListModel>

namespace vuelco::forms {

FileListBox::FileListBox(QWidget *parent) : QListView(parent), mModel(new QStringListModel(this))
{
    setModel(mModel);
    setItemDelegate(new ShownNameDelegate(this));
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    // A change of selection is the click, however it was made: a press, a drag from one
    // entry to another, a key, typing a name.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (ListIndex() >= 0)
            emit Click();
    });
    connect(this, &QListView::doubleClicked, this, &FileListBox::DblClick);
}

void FileListBox::setPath(const QString &path)
{
    mPath = path;
    fill();
}

void FileListBox::setPattern(const QString &pattern)
{
    if (pattern == mPattern)
        return;
    mPattern = pattern;
    fill();
}

int FileListBox::ListIndex() const
{
    // The selection, not the current entry: while the mouse drags, the selection moves first.
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void FileListBox::setListIndex(int index)
{
    setCurrentIndex(mModel->index(index, 0));
}

QString FileListBox::List(int index) const { return mModel->stringList().value(index); }

int FileListBox::ListCount() const { return static_cast<int>(mModel->rowCount()); }

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    // With nothing selected the view's current entry is the first one, unselected: a key
    // that moves from it would skip it, and in a list of one entry select nothing. So the
    // first such key selects the first entry (End the last), as a list box does.
    static const QList<int> kMovingKeys{Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,
                                        Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown};
    if (ListIndex() < 0 && ListCount() > 0 && kMovingKeys.contains(event->key())) {
        setListIndex(event->key() == Qt::Key_End ? ListCount() - 1 : 0);
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void FileListBox::fill()
{
    QStringList names;
    if (!mPath.isEmpty()) {
        const CaselessWildcards patterns(mPattern);
        names = folderEntries(mPath).files;
        names.removeIf([&patterns](const QString &name) { return !patterns.matches(name); });
        sortWithoutCase(names);
    }
    mModel->setStringList(names);
}

} // namespace vuelco::forms
