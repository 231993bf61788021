#ifndef SETTINGS_H
#define SETTINGS_H

#include <QObject>
#include <QSettings>
#include <QStringList>

// The program's settings: one typed getter, setter and change signal per key,
// each default written once (in settings.cpp). Stored as the INI file "app.ini"
// in the per-user configuration folder. Whatever shows or uses a setting follows
// its change signal, so a change made anywhere reaches all of them.
//
// A new key: a property line, getter, setter and signal here; its stored name
// and the two one-line definitions in settings.cpp (a new choice type is also
// registered in the constructor).
class Settings : public QObject
{
    Q_OBJECT
    // Every key is a property, so that clear() can tell what it changed.
    Q_PROPERTY(Settings::Theme theme READ theme NOTIFY themeChanged)
    Q_PROPERTY(Settings::Language language READ language NOTIFY languageChanged)
    Q_PROPERTY(Settings::StartupDocument startupDocument READ startupDocument NOTIFY startupDocumentChanged)
    Q_PROPERTY(Settings::ImageHandling imageHandling READ imageHandling NOTIFY imageHandlingChanged)
    Q_PROPERTY(bool autoBackup READ autoBackup NOTIFY autoBackupChanged)
    Q_PROPERTY(QString cssFile READ cssFile NOTIFY cssFileChanged)
    Q_PROPERTY(double zoom READ zoom NOTIFY zoomChanged)
    Q_PROPERTY(double sourceZoom READ sourceZoom NOTIFY sourceZoomChanged)
    Q_PROPERTY(int editorFontSize READ editorFontSize NOTIFY editorFontSizeChanged)
    Q_PROPERTY(QStringList recentFiles READ recentFiles NOTIFY recentFilesChanged)

public:
    // Choices are stored as these numbers, as earlier versions wrote them; the
    // settings dialog lists them in this order. A number a getter does not know
    // (a hand-edited file) reads as the choice it behaves as, and stays stored.
    enum class Theme { Light = 0, Dark = 1, StylePalette = 2 }; // unknown: the style's own palette
    Q_ENUM(Theme)
    enum class Language { Chinese = 0, English = 1, Untranslated = 2 }; // unknown: no catalogue
    Q_ENUM(Language)
    enum class StartupDocument { Blank = 0, MostRecent = 1 }; // unknown: blank
    Q_ENUM(StartupDocument)
    enum class ImageHandling { KeepAddress = 0, CopyToAssets = 1 }; // unknown: keep the address
    Q_ENUM(ImageHandling)

    // The zoom range of both editors (the web engine's own).
    static constexpr double minZoom = 0.25;
    static constexpr double maxZoom = 5.0;

    // The store of the process, created on first use and kept until exit.
    static Settings &instance();

    // A store on fileName. When that file does not exist yet and legacyFileName
    // does, the legacy file is read once into it; it is never written.
    explicit Settings(const QString &fileName, const QString &legacyFileName = QString(),
                      QObject *parent = nullptr);

    QString fileName() const { return store.fileName(); }
    // Removes every key, so that each getter gives its default again; each
    // value that changed by it is announced.
    void clear();

    void setVersion(const QString &version);

    Theme theme() const; // the window's palette
    void setTheme(Theme theme);
    Language language() const; // the interface language
    void setLanguage(Language language);
    StartupDocument startupDocument() const; // what opens at start without a file named
    void setStartupDocument(StartupDocument startupDocument);
    ImageHandling imageHandling() const; // an image from outside the document's folder
    void setImageHandling(ImageHandling imageHandling);
    bool autoBackup() const; // timed backups of unsaved work
    void setAutoBackup(bool autoBackup);
    // File name of the page theme chosen in the themes folder; empty when none is
    // chosen and the page follows the palette. Setting it empty forgets the choice.
    QString cssFile() const;
    void setCssFile(const QString &cssFile);
    double zoom() const; // of the page
    void setZoom(double zoom);
    double sourceZoom() const; // of the source editor's text
    void setSourceZoom(double sourceZoom);
    int editorFontSize() const; // pixels
    void setEditorFontSize(int editorFontSize);
    QStringList recentFiles() const; // most recent first
    void setRecentFiles(const QStringList &recentFiles);

signals:
    void themeChanged(Settings::Theme theme);
    void languageChanged(Settings::Language language);
    void startupDocumentChanged(Settings::StartupDocument startupDocument);
    void imageHandlingChanged(Settings::ImageHandling imageHandling);
    void autoBackupChanged(bool autoBackup);
    void cssFileChanged(const QString &cssFile);
    void zoomChanged(double zoom);
    void sourceZoomChanged(double sourceZoom);
    void editorFontSizeChanged(int editorFontSize);
    void recentFilesChanged(const QStringList &recentFiles);

private:
    template <typename T>
    T value(const char *key, const T &fallback) const;
    template <typename Choice>
    Choice choice(const char *key, Choice fallback, Choice unknown) const;
    // Stores value under key and announces it through changed, when that changed what is stored.
    template <typename T, typename Signal>
    void change(const char *key, const T &value, Signal changed);
    // Stores value under key; true when that changed what is stored.
    bool write(const char *key, const QVariant &value);
    // Removes key; true when it was stored.
    bool remove(const char *key);

    QSettings store;
};

#endif // SETTINGS_H
