#ifndef SAVEFILE_H
#define SAVEFILE_H

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// A file written whole or not at all: what is written goes to a temporary file
// in the target's folder, which replaces the target only on commit(), once all
// of it is written. Every file the program writes whole goes through here.
//
// Writes go straight to the disk, unbuffered: QSaveFile commits even when
// flushing its buffer failed (a full disk), replacing the target with a short
// file; written straight, the failed write fails the commit.
class SaveFile
{
public:
    explicit SaveFile(const QString &path);

    // Makes the temporary file; false when none can be made beside the target.
    bool open();
    // The temporary file, for what writes into a device or needs its handle.
    QFileDevice &device() { return file; }
    bool write(const QByteArray &bytes);
    // Puts what was written in the target's place; false (the target as it
    // was) when anything failed.
    bool commit();
    // Drops what was written; the target stays as it was.
    void cancel() { file.cancelWriting(); }
    QString fileName() const { return file.fileName(); }
    QString errorString() const { return file.errorString(); }

private:
    QSaveFile file;
};

// Writes all of bytes to file. A short write (a full disk) sets no error:
// the rest is written again, so that a failure has its reason in errorString().
bool writeWhole(QFileDevice &file, const QByteArray &bytes);

// Writes bytes as the whole content of path; false (and *error) when it could not.
bool saveFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Writes text as UTF-8 (no byte-order mark) with the platform's line ends.
bool saveTextFile(const QString &path, const QString &text, QString *error = nullptr);

#endif // SAVEFILE_H
