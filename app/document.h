#ifndef DOCUMENT_H
#define DOCUMENT_H

#include "app/documentfile.h"
#include "backup/backupstore.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <functional>

class EditingSurface;
class QFileSystemWatcher;
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
    // A save has asked the surface for the text and not yet written it.
    bool isSaving() const { return savesInFlight > 0; }

    // Asked when the file changed on disk while this document has changes of its
    // own (or is being saved over it): true keeps the document's text, false
    // loads the file. Without one, the document's text is kept.
    using ConflictResolver = std::function<bool(const QString &path)>;
    void setConflictResolver(const ConflictResolver &resolver) { resolveConflict = resolver; }

    // Reads path as UTF-8 into the surface in use; false (and failed()) when it cannot be read.
    bool open(const QString &path);
    // An untitled, empty document.
    void clear();
    // Writes the document to its file. The document must have a file.
    void save();
    // Makes path the document's file and writes it there.
    void saveAs(const QString &path);

    // The backups to offer at start-up, first by name first: those no running window holds.
    QStringList backupsToOffer() const;
    // Continues from a backup file; false when it cannot be used.
    bool restoreBackup(const QString &backupPath);

public slots:
    void setModified(bool modified);
    // The text changed; while modified, the next backup tick writes it.
    void markChanged();
    // The timed backup: writes pending changes, or removes the backup of an unmodified document.
    void backupTick();
    // Compares the file on disk with what this document last read or wrote.
    void checkDisk();

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
    // News that should stay in view until there is other news (backups are off).
    void notice(const QString &text);

private:
    // What the file on disk was when this document last read or wrote it.
    struct DiskState
    {
        QString path;
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        QByteArray hash;
        // bytes, when given, are the file's content and give the hash.
        static DiskState of(const QString &path, const QByteArray *bytes);
        void readHash();
        bool sameFile(const DiskState &other) const;
    };

    void setPath(const QString &newPath);
    void watch(const DiskState &state);
    // The file changed on disk: false when it must be loaded instead of written over.
    bool keepMineOver(const DiskState &onDisk);
    void updateTitle();
    void write(const QString &filePath, const QString &markdown);
    void saveFailed(const QString &filePath, const QString &reason);
    void addRecentFile(const QString &filePath);
    // Timed backups run while the setting is on.
    void runBackups(bool on);
    void removeBackup();
    void backupFailed();

    EditingSurface *surface;
    QString path;
    // Line ends and byte-order mark of the file as read, kept when it is written.
    TextFormat format;
    bool modified = false;
    bool backupPending = false;
    BackupStore backups;
    QTimer *backupTimer = nullptr;
    bool backupsChecked = false;
    bool backupWarned = false;
    int savesInFlight = 0;
    DiskState known;
    QFileSystemWatcher *watcher = nullptr;
    QTimer *diskCheck = nullptr;
    bool resolving = false;
    ConflictResolver resolveConflict;
};

#endif // DOCUMENT_H
