#include "forms/file_list_box.h"

#include "forms/native_paths.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QStringListModel>
#include <algorithm>
#include <filesystem>

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
        QList<QRegularExpression> patterns;
        for (const QString &pattern : mPattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern.trimmed()),
                                               QRegularExpression::CaseInsensitiveOption));
        const auto matches = [&patterns](const QString &name) {
            return std::any_of(patterns.begin(), patterns.end(),
                               [&name](const QRegularExpression &pattern) { return pattern.match(name).hasMatch(); });
        };
        // The directory's own entry types answer "regular file?" without a stat per
        // entry, which is what keeps a folder of a hundred thousand files quick.
        // A folder that cannot be read lists nothing, and a read that fails half way
        // lists what came before; neither may throw out of a widget.
        std::error_code error;
        for (std::filesystem::directory_iterator it(toFilesystemPath(mPath), error), end; !error && it != end;
             it.increment(error)) {
            const std::filesystem::directory_entry &entry = *it;
            std::error_code typeError;
            if (!entry.is_regular_file(typeError))
                continue;
            const QString name = fromFilesystemPath(entry.path().filename());
            if (!isHiddenEntry(entry.path(), name) && matches(name))
                names.append(name);
        }
        std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
    }
    mModel->setStringList(names);
}

} // namespace vuelco::forms
