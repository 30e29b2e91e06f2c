#pragma once

#include <QListView>
#include <QStringList>

class QStringListModel;

namespace vuelco::forms {

// The file list: the names of the regular files of Path that match Pattern ("*.dat",
// several joined by ";", '*' and '?' as wildcards), without regard to case, sorted the
// same way, hidden files left out. It is a model-backed view, so a folder of a hundred thousand files shows at
// once. Click follows the mouse and the keyboard: a click on an entry, and a selection
// the keys move (arrows, Home/End, the page keys, typing a name's first letters); the
// first click of a double-click is a Click, and DblClick follows it.
class FileListBox : public QListView {
    Q_OBJECT

public:
    explicit FileListBox(QWidget *parent = nullptr);

    [[nodiscard]] QString Path() const { return mPath; }
    void setPath(const QString &path);
    [[nodiscard]] QString Pattern() const { return mPattern; }
    void setPattern(const QString &pattern);

    // The selected entry's index, -1 when none is selected.
    [[nodiscard]] int ListIndex() const;
    void setListIndex(int index);
    // The name at an index.
    [[nodiscard]] QString List(int index) const;
    [[nodiscard]] int ListCount() const;

signals:
    void Click();
    void DblClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();

    QStringListModel *mModel;
    QString mPath;
    QString mPattern = QStringLiteral("*.*");
};

} // namespace vuelco::forms
