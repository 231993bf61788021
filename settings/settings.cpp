#include "settings/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const char *const kTheme = "theme";
const char *const kLanguage = "language";
const char *const kOpenType = "openType";
const char *const kSaveImageType = "saveImageType";
const char *const kAutoSave = "autoSave";
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
    store.clear();
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

int Settings::theme() const { return store.value(QLatin1String(kTheme), 0).toInt(); }
void Settings::setTheme(int theme)
{
    if (write(kTheme, theme))
        emit themeChanged(theme);
}

int Settings::language() const { return store.value(QLatin1String(kLanguage), 0).toInt(); }
void Settings::setLanguage(int language)
{
    if (write(kLanguage, language))
        emit languageChanged(language);
}

int Settings::openType() const { return store.value(QLatin1String(kOpenType), 0).toInt(); }
void Settings::setOpenType(int openType)
{
    if (write(kOpenType, openType))
        emit openTypeChanged(openType);
}

int Settings::saveImageType() const { return store.value(QLatin1String(kSaveImageType), 0).toInt(); }
void Settings::setSaveImageType(int saveImageType)
{
    if (write(kSaveImageType, saveImageType))
        emit saveImageTypeChanged(saveImageType);
}

bool Settings::autoSave() const { return store.value(QLatin1String(kAutoSave), false).toBool(); }
void Settings::setAutoSave(bool autoSave)
{
    if (write(kAutoSave, autoSave))
        emit autoSaveChanged(autoSave);
}

// Absent means no choice: a name stored by earlier versions was always the user's
// pick in the settings dialog, so it keeps meaning that file.
QString Settings::cssFile() const { return store.value(QLatin1String(kCssFile)).toString(); }
void Settings::setCssFile(const QString &cssFile)
{
    if (cssFile.isEmpty() ? remove(kCssFile) : write(kCssFile, cssFile))
        emit cssFileChanged(cssFile);
}

double Settings::zoom() const { return store.value(QLatin1String(kZoom), 1).toDouble(); }
void Settings::setZoom(double zoom)
{
    if (write(kZoom, zoom))
        emit zoomChanged(zoom);
}

double Settings::sourceZoom() const { return store.value(QLatin1String(kSourceZoom), 1).toDouble(); }
void Settings::setSourceZoom(double sourceZoom)
{
    if (write(kSourceZoom, sourceZoom))
        emit sourceZoomChanged(sourceZoom);
}

int Settings::editorFontSize() const { return store.value(QLatin1String(kEditorFontSize), 16).toInt(); }
void Settings::setEditorFontSize(int editorFontSize)
{
    if (write(kEditorFontSize, editorFontSize))
        emit editorFontSizeChanged(editorFontSize);
}

QStringList Settings::recentFiles() const { return store.value(QLatin1String(kRecentFiles)).toStringList(); }
void Settings::setRecentFiles(const QStringList &recentFiles)
{
    if (write(kRecentFiles, recentFiles))
        emit recentFilesChanged(recentFiles);
}
