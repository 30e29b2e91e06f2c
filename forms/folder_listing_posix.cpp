#include "forms/folder_listing.h"

#include "forms/native_paths.h"

#include <filesystem>

namespace vuelco::forms {

void forEachVisibleFile(const QString &folder, const std::function<void(const QString &name)> &take)
{
    // The directory's own entry types answer "regular file?" without a stat per entry,
    // which is what keeps a folder of a hundred thousand files quick.
    std::error_code error;
    for (std::filesystem::directory_iterator it(toFilesystemPath(folder), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        const QString name = fromFilesystemPath(it->path().filename());
        if (!name.startsWith(QLatin1Char('.')))
            take(name);
    }
}

} // namespace vuelco::forms
