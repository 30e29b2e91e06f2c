#include "runtime/forms/file_list_box.h"

#include <QDir>
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

void FileListBox::fill()
{
    if (mPath.isEmpty()) {
        mModel->setStringList({});
        return;
    }
    QDir dir(mPath);
    dir.setNameFilters(mPattern.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    // Files only: no folders, pipes or devices; name filters ignore case unless asked not to.
    mModel->setStringList(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

} // namespace vuelco::forms
