#pragma once

#include <QString>
#include <QStringList>

namespace vuelco::forms {

// The entries of a folder that the folder and file lists show, hidden ones left out
// ("." names on Linux, the hidden attribute on Windows), in the order the system gives them.
struct FolderEntries {
    QStringList files;   // regular files
    QStringList folders;
};

// Reads a folder's entries in one pass. The directory's own entry data answers kind and
// hidden, so a folder of a hundred thousand files costs no call per entry; only a link, or
// an entry of a file system that gives no kinds, is looked up, and counts as what it leads
// to. A folder that cannot be read has no entries, and a read that fails half way keeps what
// came before: neither may throw out of a widget.
[[nodiscard]] FolderEntries readFolderEntries(const QString &folder);

// The folder list emits Change before its Path assignment returns, and the file list that
// Change moves then lists the folder just read. While a SharedFolderRead lives, the entries
// of its folder come from its one read; a large folder is read once per change, not twice.
class SharedFolderRead {
public:
    explicit SharedFolderRead(const QString &folder);
    SharedFolderRead(const SharedFolderRead &) = delete;
    SharedFolderRead &operator=(const SharedFolderRead &) = delete;
    ~SharedFolderRead();

private:
    friend FolderEntries folderEntries(const QString &folder);

    QString mFolder;
    FolderEntries mEntries;
    const SharedFolderRead *mOuter;
};

// A folder's entries: those of a living SharedFolderRead of that folder, else read now.
[[nodiscard]] FolderEntries folderEntries(const QString &folder);

} // namespace vuelco::forms
