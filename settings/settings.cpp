#include "settings/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QStandardPaths>

#include <cmath>

namespace {
// The stored names, as earlier versions wrote them.
const char *const kTheme = "theme";
const char *const kLanguage = "language";
const char *const kStartupDocument = "openType";
const char *const kImageHandling = "saveImageType";
const char *const kAutoBackup = "autoSave";
const char *const kCssFile = "cssfile";
const char *const kZoom = "zoom";
const char *const kSourceZoom = "sourceZoom";
const char *const kEditorFontSize = "editorFontSize";
const char *const kRecentFiles = "recentFileList";
} // namespace

Settings &Settings::instance()
{
    // The working directory is where the program happened to be started, so
    // the store lives in the user's configuration folder; an "app.ini" left
    // in the working directory by an earlier version is read once.
    static Settings settings(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                                 + QStringLiteral("/app.ini"),
                             QDir::current().absoluteFilePath(QStringLiteral("app.ini")));
    return settings;
}

Settings::Settings(const QString &fileName, const QString &legacyFileName, QObject *parent)
    : QObject(parent), store(fileName, QSettings::IniFormat)
{
    // Choices travel in signals, which spies and queued connections copy.
    qRegisterMetaType<Theme>();
    qRegisterMetaType<Language>();
    qRegisterMetaType<StartupDocument>();
    qRegisterMetaType<ImageHandling>();
    const QFileInfo file(fileName);
    QDir().mkpath(file.absolutePath());
    if (file.exists() || legacyFileName.isEmpty() || !QFileInfo(legacyFileName).isFile()
        || QFileInfo(legacyFileName).absoluteFilePath() == file.absoluteFilePath())
        return;
    const QSettings legacy(legacyFileName, QSettings::IniFormat);
    for (const QString &key : legacy.allKeys())
        store.setValue(key, legacy.value(key));
    store.sync();
}

void Settings::clear()
{
    // Every key is a property: what each reads before and after tells which changed.
    const QMetaObject *meta = metaObject();
    QVariantList before;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        before << meta->property(i).read(this);
    store.clear();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty key = meta->property(i);
        const QVariant now = key.read(this);
        if (now != before.at(i - meta->propertyOffset()))
            key.notifySignal().invoke(this, Qt::DirectConnection, QGenericArgument(key.typeName(), now.constData()));
    }
}

template <typename T>
T Settings::value(const char *key, const T &fallback) const
{
    return store.value(QLatin1String(key), QVariant::fromValue(fallback)).template value<T>();
}

template <typename Choice>
Choice Settings::choice(const char *key, Choice fallback, Choice unknown) const
{
    // A number that is no choice counts as 0, as it always has ("english" is 0).
    const int number = store.value(QLatin1String(key), static_cast<int>(fallback)).toInt();
    return QMetaEnum::fromType<Choice>().valueToKey(number) ? static_cast<Choice>(number) : unknown;
}

template <typename T, typename Signal>
void Settings::change(const char *key, const T &value, Signal changed)
{
    QVariant stored;
    if constexpr (std::is_enum<T>::value)
        stored = static_cast<int>(value);
    else
        stored = QVariant::fromValue(value);
    if (write(key, stored))
        emit (this->*changed)(value);
}

bool Settings::write(const char *key, const QVariant &value)
{
    const QString name = QLatin1String(key);
    const bool changed = !store.contains(name) || store.value(name) != value;
    store.setValue(name, value);
    return changed;
}

bool Settings::remove(const char *key)
{
    const QString name = QLatin1String(key);
    const bool stored = store.contains(name);
    store.remove(name);
    return stored;
}

void Settings::setVersion(const QString &version)
{
    write("version", version);
}

Settings::Theme Settings::theme() const { return choice(kTheme, Theme::Light, Theme::StylePalette); }
void Settings::setTheme(Theme theme) { change(kTheme, theme, &Settings::themeChanged); }

Settings::Language Settings::language() const { return choice(kLanguage, Language::Chinese, Language::Untranslated); }
void Settings::setLanguage(Language language) { change(kLanguage, language, &Settings::languageChanged); }

Settings::StartupDocument Settings::startupDocument() const
{
    return choice(kStartupDocument, StartupDocument::Blank, StartupDocument::Blank);
}
void Settings::setStartupDocument(StartupDocument startupDocument)
{
    change(kStartupDocument, startupDocument, &Settings::startupDocumentChanged);
}

Settings::ImageHandling Settings::imageHandling() const
{
    return choice(kImageHandling, ImageHandling::KeepAddress, ImageHandling::KeepAddress);
}
void Settings::setImageHandling(ImageHandling imageHandling)
{
    change(kImageHandling, imageHandling, &Settings::imageHandlingChanged);
}

bool Settings::autoBackup() const { return value(kAutoBackup, false); }
void Settings::setAutoBackup(bool autoBackup) { change(kAutoBackup, autoBackup, &Settings::autoBackupChanged); }

// Absent means no choice: a name stored by earlier versions was always the user's
// pick in the settings dialog, so it keeps meaning that file.
QString Settings::cssFile() const { return value(kCssFile, QString()); }
void Settings::setCssFile(const QString &cssFile)
{
    if (cssFile.isEmpty() ? remove(kCssFile) : write(kCssFile, cssFile))
        emit cssFileChanged(cssFile);
}

// A hand-edited or damaged file may hold anything: what is no zoom (not a
// number, none at all) is 100%, and the rest is kept within the editors' range.
static double usableZoom(double zoom)
{
    return std::isfinite(zoom) && zoom > 0 ? qBound(Settings::minZoom, zoom, Settings::maxZoom) : 1.0;
}

double Settings::zoom() const { return usableZoom(value(kZoom, 1.0)); }
void Settings::setZoom(double zoom) { change(kZoom, usableZoom(zoom), &Settings::zoomChanged); }

double Settings::sourceZoom() const { return usableZoom(value(kSourceZoom, 1.0)); }
void Settings::setSourceZoom(double sourceZoom) { change(kSourceZoom, usableZoom(sourceZoom), &Settings::sourceZoomChanged); }

int Settings::editorFontSize() const { return value(kEditorFontSize, 16); }
void Settings::setEditorFontSize(int editorFontSize)
{
    change(kEditorFontSize, editorFontSize, &Settings::editorFontSizeChanged);
}

QStringList Settings::recentFiles() const { return value(kRecentFiles, QStringList()); }
void Settings::setRecentFiles(const QStringList &recentFiles)
{
    change(kRecentFiles, recentFiles, &Settings::recentFilesChanged);
}
