#ifndef DOCUMENT_H
#define DOCUMENT_H

#include "backup/backupstore.h"

#include <QObject>
#include <QStringList>

class EditingSurface;
class QTimer;

// The open document: its file, its name, whether it has unsaved changes, the
// recent-files list and the timed backups of unsaved work. Its text lives in
// the editing surface in use, which the document asks when it saves or backs up.
// What happens is told through signals; the document shows nothing itself.
class Document : public QObject
{
    Q_OBJECT

public:
    explicit Document(EditingSurface *surface, QObject *parent = nullptr);

    void setSurface(EditingSurface *surface);
    // Keeps the document's modified state and surface's in step.
    void follow(EditingSurface *surface);

    QString filePath() const { return path; }
    QString fileName() const;
    bool isModified() const { return modified; }
    QString title() const;
    QStringList recentFiles() const;
    // The backup file of this document, empty when there is none.
    QString backupPath() const { return backups.filePath(); }
    bool isBackupPending() const { return backupPending; }

    // Reads path as UTF-8 into the surface in use; false (and failed()) when it cannot be read.
    bool open(const QString &path);
    // An untitled, empty document.
    void clear();
    // Writes the document to its file. The document must have a file.
    void save();
    // Makes path the document's file and writes it there.
    void saveAs(const QString &path);

    // The backup to offer at start-up, empty when there is none.
    QString backupToOffer() const;
    // Continues from a backup file; false when it cannot be used.
    bool restoreBackup(const QString &backupPath);

public slots:
    void setModified(bool modified);
    // The text changed; while modified, the next backup tick writes it.
    void markChanged();
    // The timed backup: writes pending changes, or removes the backup of an unmodified document.
    void backupTick();

signals:
    void titleChanged(const QString &title);
    void modifiedChanged(bool modified);
    void pathChanged(const QString &path);
    void recentFilesChanged(const QStringList &paths);
    void saved(const QString &path);
    // An operation failed; reason is the message for the user.
    void failed(const QString &reason);
    // Transient news (a backup written or removed).
    void message(const QString &text);

private:
    void setPath(const QString &newPath);
    void updateTitle();
    void write(const QString &filePath, const QString &markdown);
    void saveFailed(const QString &filePath, const QString &reason);
    void addRecentFile(const QString &filePath);
    void removeBackup();

    EditingSurface *surface;
    QString path;
    bool modified = false;
    bool backupPending = false;
    BackupStore backups;
    QTimer *backupTimer = nullptr;
};

#endif // DOCUMENT_H
