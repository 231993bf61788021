#include "settings/catalogue.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

namespace {

void install(QTranslator *translator, Settings::Language language)
{
    // Taken out and put back: each install or removal tells every window to
    // translate its texts again.
    QCoreApplication::removeTranslator(translator);
    const QString file = Catalogue::of(language);
    if (!file.isEmpty() && translator->load(file))
        QCoreApplication::installTranslator(translator);
}

} // namespace

QString Catalogue::of(Settings::Language language)
{
    switch (language) {
    case Settings::Language::Chinese:
        return QStringLiteral(":/chinese.qm");
    case Settings::Language::English:
        return QStringLiteral(":/english.qm");
    case Settings::Language::Untranslated:
        break;
    }
    return QString();
}

void Catalogue::followSetting()
{
    static QPointer<QTranslator> translator;
    if (translator)
        return;
    // A child of the application, so that it goes with it.
    translator = new QTranslator(QCoreApplication::instance());
    install(translator, Settings::instance().language());
    QObject::connect(&Settings::instance(), &Settings::languageChanged, translator,
                     [](Settings::Language language) { install(translator, language); });
}
