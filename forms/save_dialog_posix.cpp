#include "forms/save_dialog.h"

#include <QFile>
#include <QSettings>

namespace vuelco::forms {
namespace {

QString qtOwnSettingsFile() { return QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName(); }

} // namespace

bool qtOwnSettingsExist() { return QFile::exists(qtOwnSettingsFile()); }

void removeQtOwnSettings() { QFile::remove(qtOwnSettingsFile()); }

} // namespace vuelco::forms
