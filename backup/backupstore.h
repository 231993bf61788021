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
    QString dir;      // the backup folder
    QString fileName; // current backup file name, empty when there is none
    QString filePath; // dir + "/" + fileName, empty when there is none
    bool pending = false; // the document changed since the last backup

    // AppDataLocation + "/backup".
    static QString defaultDir();
    // Sets dir to defaultDir() and creates it when missing.
    void init();

    // "notes.md-2026-12-06_140700123", or "untitled-..." for an untitled document.
    static QString makeFileName(const QString &documentFileName, const QDateTime &when);
    // One compact JSON object: {"markdown":...,"srcpath":...}, UTF-8.
    static QByteArray serialize(const QString &markdown, const QString &srcPath);

    // Writes the backup through QSaveFile, creating the folder again if it went missing.
    // The slot is named by the first write that succeeds. On success clears pending and
    // returns true; on failure nothing changes.
    bool write(const QString &markdown, const QString &documentFileName,
               const QString &documentFilePath,
               const QDateTime &now = QDateTime::currentDateTime());
    // Deletes the file at path; when that succeeds the slot is emptied, pending
    // cleared and true returned. Nothing changes otherwise.
    bool remove(const QString &path);
    // Makes an existing backup file (a restored one) the current slot.
    void adopt(const QString &path);

    // Backup files in name order (case-insensitive), as offered at start-up.
    static QFileInfoList listForRecovery(const QString &dir);
    static BackupContent read(const QString &path);
};

#endif // BACKUPSTORE_H
