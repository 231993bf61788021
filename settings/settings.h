#ifndef SETTINGS_H
#define SETTINGS_H

#include <QObject>
#include <QSettings>
#include <QStringList>

// The program's settings: one typed getter, setter and change signal per key,
// each default written once (in settings.cpp). Stored as the INI file "app.ini"
// in the per-user configuration folder.
class Settings : public QObject
{
    Q_OBJECT

public:
    // The store of the process, created on first use and kept until exit.
    static Settings &instance();

    // A store on fileName. When that file does not exist yet and legacyFileName
    // does, the legacy file is read once into it; it is never written.
    explicit Settings(const QString &fileName, const QString &legacyFileName = QString(),
                      QObject *parent = nullptr);

    QString fileName() const { return store.fileName(); }
    // Removes every key, so that each getter gives its default again.
    void clear();

    void setVersion(const QString &version);

    int theme() const; // 0 light, 1 dark, anything else: the style's own palette
    void setTheme(int theme);
    int language() const; // 0 Chinese, 1 English, anything else: no catalogue
    void setLanguage(int language);
    int openType() const; // 0 a blank document at start, 1 the most recent file
    void setOpenType(int openType);
    int saveImageType() const; // 0 keep an image's address, 1 copy it next to the document
    void setSaveImageType(int saveImageType);
    bool autoSave() const;
    void setAutoSave(bool autoSave);
    // File name of the page theme chosen in the themes folder; empty when none is
    // chosen and the page follows the palette. Setting it empty forgets the choice.
    QString cssFile() const;
    void setCssFile(const QString &cssFile);
    double zoom() const;
    void setZoom(double zoom);
    double sourceZoom() const; // zoom of the source editor's text
    void setSourceZoom(double sourceZoom);
    int editorFontSize() const; // pixels
    void setEditorFontSize(int editorFontSize);
    QStringList recentFiles() const; // most recent first
    void setRecentFiles(const QStringList &recentFiles);

signals:
    void themeChanged(int theme);
    void languageChanged(int language);
    void openTypeChanged(int openType);
    void saveImageTypeChanged(int saveImageType);
    void autoSaveChanged(bool autoSave);
    void cssFileChanged(const QString &cssFile);
    void zoomChanged(double zoom);
    void sourceZoomChanged(double sourceZoom);
    void editorFontSizeChanged(int editorFontSize);
    void recentFilesChanged(const QStringList &recentFiles);

private:
    // Stores value under key; true when that changed what is stored.
    bool write(const char *key, const QVariant &value);
    // Removes key; true when it was stored.
    bool remove(const char *key);

    QSettings store;
};

#endif // SETTINGS_H
