#include "forms/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vuelco::forms {

void installSpanishQtWords(QCoreApplication &application)
{
    auto *translator = new QTranslator(&application);
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    if (translator->load(QStringLiteral("qtbase_es"), beside) ||
        translator->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace vuelco::forms
