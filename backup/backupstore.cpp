#include "backup/backupstore.h"

#include "files/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextStream>

QString BackupStore::defaultDir()
{
    return QStandardPaths::standardLocations(QStandardPaths::AppDataLocation).value(0)
        + QStringLiteral("/backup");
}

BackupStore::BackupStore(const QString &dir)
    : folder(dir)
{
    QDir().mkpath(folder);
}

BackupStore::~BackupStore() = default;

QString BackupStore::lockPath(const QString &backupPath)
{
    const QFileInfo info(backupPath);
    return info.absolutePath() + QStringLiteral("/locks/") + info.fileName() + QStringLiteral(".lock");
}

bool BackupStore::lock(const QString &path)
{
    unlock();
    const QString name = lockPath(path);
    QDir().mkpath(QFileInfo(name).absolutePath());
    auto lockFile = std::make_unique<QLockFile>(name);
    // Held for as long as the window runs; only a lock whose program is gone is stale.
    lockFile->setStaleLockTime(0);
    if (lockFile->tryLock(0)) {
        held = std::move(lockFile);
        return true;
    }
    // Where no lock file can be made at all, the backup is still worth writing.
    return lockFile->error() != QLockFile::LockFailedError;
}

void BackupStore::unlock()
{
    held.reset();
}

QString BackupStore::filePath() const
{
    return fileName.isEmpty() ? QString() : folder + QLatin1Char('/') + fileName;
}

QString BackupStore::makeFileName(const QString &documentFileName, const QDateTime &when)
{
    const QString prefix = documentFileName.isEmpty() ? QStringLiteral("untitled") : documentFileName;
    return prefix + QLatin1Char('-') + when.toString(QStringLiteral("yyyy-MM-dd_hhmmsszzz"));
}

QByteArray BackupStore::serialize(const QString &markdown, const QString &srcPath)
{
    QJsonObject object;
    object.insert(QStringLiteral("markdown"), markdown);
    object.insert(QStringLiteral("srcpath"), srcPath);
    // QJsonObject keeps its keys sorted, so "markdown" always precedes "srcpath".
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool BackupStore::write(const QString &markdown, const QString &documentFileName,
                        const QString &documentFilePath, const QDateTime &now)
{
    // The folder may have been removed while the program ran; a later tick retries.
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return false;

    // A new slot gets a name no other window has (two may start a backup in the same millisecond).
    QString name = fileName;
    QDateTime when = now;
    for (int attempt = 0; name.isEmpty() && attempt < 100; ++attempt, when = when.addMSecs(1)) {
        const QString candidate = makeFileName(documentFileName, when);
        const QString candidatePath = folder + QLatin1Char('/') + candidate;
        if (!QFileInfo::exists(candidatePath) && lock(candidatePath))
            name = candidate;
    }
    if (name.isEmpty())
        return false;
    const QString path = folder + QLatin1Char('/') + name;

    // Whole or not at all, so an interrupted write leaves the previous backup intact.
    if (!saveFile(path, serialize(markdown, documentFilePath))) {
        if (fileName.isEmpty())
            unlock();
        return false;
    }

    // The slot is named only once a file exists under that name.
    fileName = name;
    return true;
}

bool BackupStore::remove()
{
    const QString path = filePath();
    if (path.isEmpty() || !QFileInfo::exists(path) || !QFile::remove(path))
        return false;
    fileName.clear();
    unlock();
    return true;
}

bool BackupStore::adopt(const QString &path)
{
    if (!lock(path))
        return false;
    const QFileInfo info(path);
    folder = info.absolutePath();
    fileName = info.fileName();
    return true;
}

bool BackupStore::isWritable() const
{
    if (!QDir().mkpath(folder))
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.probe-XXXXXX"));
    return probe.open();
}

QFileInfoList BackupStore::listForRecovery(const QString &dir)
{
    const QDir folder(dir);
    if (dir.isEmpty() || !folder.exists())
        return {};
    QFileInfoList free;
    for (const QFileInfo &info : folder.entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase)) {
        QLockFile probe(lockPath(info.filePath()));
        probe.setStaleLockTime(0);
        if (probe.tryLock(0))
            probe.unlock();
        else if (probe.error() == QLockFile::LockFailedError)
            continue; // another window's unsaved work
        free.append(info);
    }
    return free;
}

BackupContent BackupStore::read(const QString &path)
{
    BackupContent content;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        content.status = BackupContent::Unreadable;
        return content;
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    const QString text = in.readAll();
    file.close();

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (document.isNull() || error.error != QJsonParseError::NoError) {
        content.status = BackupContent::Corrupt;
        return content;
    }
    if (!document.isObject()) {
        content.status = BackupContent::NotObject;
        return content;
    }
    // Without its text, or with a member of another type, this is no backup of
    // ours: restoring it would bind an empty document to a real file.
    const QJsonObject object = document.object();
    const QJsonValue markdown = object.value(QStringLiteral("markdown"));
    const QJsonValue srcPath = object.value(QStringLiteral("srcpath"));
    if (!markdown.isString() || !(srcPath.isUndefined() || srcPath.isString())) {
        content.status = BackupContent::Corrupt;
        return content;
    }
    content.markdown = markdown.toString();
    content.srcPath = srcPath.toString();
    content.status = BackupContent::Ok;
    return content;
}
