#include "forms/save_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QVariantMap>

namespace vuelco::forms {
namespace {

// Qt's own settings, and the group of them its file dialog writes when it is destroyed.
const QString kQtOwnOrganization = QStringLiteral("QtProject");
const QString kDialogGroup = QStringLiteral("FileDialog");

// Puts Qt's own settings back as they were when it was made, once the dialogs made after
// it are gone.
class QtOwnSettingsKept {
public:
    QtOwnSettingsKept() : mExisted(qtOwnSettingsExist())
    {
        if (!mExisted)
            return;
        QSettings settings(QSettings::UserScope, kQtOwnOrganization);
        settings.beginGroup(kDialogGroup);
        for (const QString &key : settings.allKeys())
            mDialogValues.insert(key, settings.value(key));
    }
    ~QtOwnSettingsKept()
    {
        if (!mExisted) {
            removeQtOwnSettings();
            return;
        }
        QSettings settings(QSettings::UserScope, kQtOwnOrganization);
        settings.remove(kDialogGroup);
        settings.beginGroup(kDialogGroup);
        for (auto value = mDialogValues.cbegin(); value != mDialogValues.cend(); ++value)
            settings.setValue(value.key(), value.value());
    }
    QtOwnSettingsKept(const QtOwnSettingsKept &) = delete;
    QtOwnSettingsKept &operator=(const QtOwnSettingsKept &) = delete;

private:
    bool mExisted;
    QVariantMap mDialogValues;
};

} // namespace

QString askSaveFileName(QWidget *owner, const QString &title, const QString &proposedPath, const QString &filter,
                        const QString &suffix)
{
    // Made first, so that it puts the settings back after the dialog has written them.
    const QtOwnSettingsKept settingsKept;
    QFileDialog dialog(owner, title, proposedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace vuelco::forms
