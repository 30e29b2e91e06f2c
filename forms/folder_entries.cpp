#include "forms/folder_entries.h"

namespace vuelco::forms {
namespace {

// The innermost living shared read; the lists live on the GUI thread only.
const SharedFolderRead *gSharedRead = nullptr;

} // namespace

SharedFolderRead::SharedFolderRead(const QString &folder)
    : mFolder(folder), mEntries(readFolderEntries(folder)), mOuter(gSharedRead)
{
    gSharedRead = this;
}

SharedFolderRead::~SharedFolderRead() { gSharedRead = mOuter; }

FolderEntries folderEntries(const QString &folder)
{
    for (const SharedFolderRead *read = gSharedRead; read != nullptr; read = read->mOuter) {
        if (read->mFolder == folder)
            return read->mEntries;
    }
    return readFolderEntries(folder);
}

} // namespace vuelco::forms
