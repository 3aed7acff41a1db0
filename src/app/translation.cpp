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

QList<QTranslator*> installTranslations(QCoreApplication& app, const QString& language) {
    QList<QTranslator*> installed;
    if (language == QLatin1String("en"))
        return installed;
    const auto install = [&](const QString& name, const QString& folder) {
        auto* translator = new QTranslator(&app);
        if (translator->load(name, folder) && QCoreApplication::installTranslator(translator))
            installed << translator;
        else
            delete translator;
    };
    install(QStringLiteral("kvx100_") + language, QStringLiteral(":/i18n"));
    // Qt's own, so that standard buttons and file dialogs speak the same language.
    install(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return installed;
}

} // namespace kvx
