#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtTranslations(QCoreApplication& app, QTranslator& translator) {
    // The program's own texts are Chinese whatever the system's language, so Qt's are too.
    if (!translator.load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return app.installTranslator(&translator);
}
