#pragma once

#include <QList>
#include <QStringList>

class QCoreApplication;
class QTranslator;

namespace kvx {

// The language the texts are shown in, from the user-interface languages in order of preference:
// "ko" for the first Korean one before any English one, "en" otherwise.
QString pickLanguage(const QStringList& uiLanguages);

// Installs the product's and Qt's own translations for that language (English needs none) and returns
// what it installed, owned by the application.
QList<QTranslator*> installTranslations(QCoreApplication& app, const QString& language);

} // namespace kvx
