#ifndef BACKUPSTORE_H
#define BACKUPSTORE_H

#include <QByteArray>
#include <QDateTime>
#include <QFileInfoList>
#include <QString>

// What a backup file turned out to hold when it was read back.
struct BackupContent
{
    enum Status {
        Ok,         // an object with "markdown" and/or "srcpath"
        Unreadable, // the file could not be opened
        Corrupt,    // not JSON, or an object with neither member
        NotObject   // valid JSON that is not an object (an array, say)
    };
    Status status = Unreadable;
    QString markdown; // empty when absent or not a string
    QString srcPath;  // empty when absent or not a string
};

// The backup slot of one open document: one file in the per-user backup folder,
// rewritten in place until it is deleted.
class BackupStore
{
public:
    // Creates the folder when missing.
    explicit BackupStore(const QString &dir = defaultDir());

    // AppDataLocation + "/backup".
    static QString defaultDir();
    QString dir() const { return folder; }
    // The current backup file, empty when there is none.
    QString filePath() const;

    // "notes.md-2026-12-06_140700123", or "untitled-..." for an untitled document.
    static QString makeFileName(const QString &documentFileName, const QDateTime &when);
    // One compact JSON object: {"markdown":...,"srcpath":...}, UTF-8.
    static QByteArray serialize(const QString &markdown, const QString &srcPath);

    // Writes the backup through QSaveFile, creating the folder again if it went missing.
    // The slot is named by the first write that succeeds. On failure nothing changes.
    bool write(const QString &markdown, const QString &documentFileName,
               const QString &documentFilePath,
               const QDateTime &now = QDateTime::currentDateTime());
    // Deletes the current file; when that succeeds the slot is emptied and true returned.
    bool remove();
    // Makes an existing backup file (a restored one) the current slot.
    void adopt(const QString &path);

    // Backup files in name order (case-insensitive), as offered at start-up.
    static QFileInfoList listForRecovery(const QString &dir);
    static BackupContent read(const QString &path);

private:
    QString folder;
    QString fileName; // empty when there is no backup
};

#endif // BACKUPSTORE_H
