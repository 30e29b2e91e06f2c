#include "forms/file_list_box.h"

#include "forms/caseless_names.h"
#include "forms/folder_entries.h"

#include <QKeyEvent>
#include <QStringListModel>

namespace vuelco::forms {

FileListBox::FileListBox(QWidget *parent) : QListView(parent), mModel(new QStringListModel(this))
{
    setModel(mModel);
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    connect(this, &QListView::clicked, this, &FileListBox::Click);
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
    const QModelIndex index = currentIndex();
    return index.isValid() && selectionModel()->isSelected(index) ? index.row() : -1;
}

void FileListBox::setListIndex(int index)
{
    setCurrentIndex(mModel->index(index, 0));
}

QString FileListBox::List(int index) const { return mModel->stringList().value(index); }

int FileListBox::ListCount() const { return static_cast<int>(mModel->rowCount()); }

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    const int before = ListIndex();
    QListView::keyPressEvent(event);
    const int after = ListIndex();
    // The key press in between moves the selection, which cppcheck cannot see.
    // cppcheck-suppress knownConditionTrueFalse
    if (after >= 0 && after != before)
        emit Click();
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
