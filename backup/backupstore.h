#ifndef BACKUPSTORE_H
#define BACKUPSTORE_H

#include <QByteArray>
#include <QDateTime>
#include <QFileInfoList>
#include <QString>
#include <memory>

class QLockFile;

// What a backup file turned out to hold when it was read back.
struct BackupContent
{
    enum Status {
        Ok,         // an object with a string "markdown" and, if any, a string "srcpath"
        Unreadable, // the file could not be opened
        Corrupt,    // not JSON, no text, or a member of another type
        NotObject   // valid JSON that is not an object (an array, say)
    };
    Status status = Unreadable;
    QString markdown;
    QString srcPath; // empty when absent
};

// The backup slot of one open document: one file in the per-user backup folder,
// rewritten in place until it is deleted. While a slot has a file, it holds a lock
// on it (in the folder "locks"), so that no other window offers or takes it over;
// the lock of a program that died goes with it.
class BackupStore
{
public:
    // Creates the folder when missing.
    explicit BackupStore(const QString &dir = defaultDir());
    ~BackupStore();

    // AppDataLocation + "/backup".
    static QString defaultDir();
    QString dir() const { return folder; }
    // The current backup file, empty when there is none.
    QString filePath() const;

    // "notes.md-2026-12-06_140700123", or "untitled-..." for an untitled document.
    static QString makeFileName(const QString &documentFileName, const QDateTime &when);
    // One compact JSON object: {"markdown":...,"srcpath":...}, UTF-8.
    static QByteArray serialize(const QString &markdown, const QString &srcPath);

    // Writes the backup whole or not at all (SaveFile), creating the folder again if it went missing.
    // The slot is named by the first write that succeeds. On failure nothing changes.
    bool write(const QString &markdown, const QString &documentFileName,
               const QString &documentFilePath,
               const QDateTime &now = QDateTime::currentDateTime());
    // Deletes the current file; when that succeeds the slot is emptied and true returned.
    bool remove();
    // Makes an existing backup file (a restored one) the current slot; false
    // when another window holds it.
    bool adopt(const QString &path);

    // Whether backups can be written in the folder (it exists, or can be made, and takes a file).
    bool isWritable() const;

    // Backup files in name order (case-insensitive) that no running window holds,
    // as offered at start-up.
    static QFileInfoList listForRecovery(const QString &dir);
    static BackupContent read(const QString &path);

private:
    static QString lockPath(const QString &backupPath);
    // Takes the lock of the backup file at path: false when another window holds it.
    bool lock(const QString &path);
    void unlock();

    QString folder;
    QString fileName; // empty when there is no backup
    std::unique_ptr<QLockFile> held;
};

#endif // BACKUPSTORE_H
