#include "translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kvx {

QString pickLanguage(const QStringList& uiLanguages) {
    for (const QString& language : uiLanguages) {
        const QString lower = language.toLower();
        if (lower == QLatin1String("ko") || lower.startsWith(QLatin1String("ko-")) ||
            lower.startsWith(QLatin1String("ko_")))
            return QStringLiteral("ko");
        if (lower == QLatin1String("en") || lower.startsWith(QLatin1String("en-")) ||
            lower.startsWith(QLatin1String("en_")) || lower == QLatin1String("c"))
            return QStringLiteral("en");
    }
    return QStringLiteral("en");
}

void installTranslations(QCoreApplication& app, const QString& language) {
    if (language == QLatin1String("en"))
        return;
    auto* own = new QTranslator(&app);
    if (own->load(QStringLiteral(":/i18n/kvx100_") + language))
        QCoreApplication::installTranslator(own);
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
}

} // namespace kvx
