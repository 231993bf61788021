#include "backup/backupstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>
#include <QStandardPaths>
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
    const QString name = fileName.isEmpty() ? makeFileName(documentFileName, now) : fileName;
    const QString path = folder + QLatin1Char('/') + name;

    // The folder may have been removed while the program ran; a later tick retries.
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return false;

    // A save file, so an interrupted write leaves the previous backup intact.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = serialize(markdown, documentFilePath);
    if (file.write(data) != data.size() || !file.commit())
        return false;

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
    return true;
}

void BackupStore::adopt(const QString &path)
{
    const QFileInfo info(path);
    folder = info.absolutePath();
    fileName = info.fileName();
}

QFileInfoList BackupStore::listForRecovery(const QString &dir)
{
    const QDir folder(dir);
    if (dir.isEmpty() || !folder.exists())
        return {};
    return folder.entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
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
    const QJsonObject object = document.object();
    const QString markdownKey = QStringLiteral("markdown");
    const QString srcPathKey = QStringLiteral("srcpath");
    if (!object.contains(markdownKey) && !object.contains(srcPathKey)) {
        content.status = BackupContent::Corrupt;
        return content;
    }
    // Members of another type (a number, say) count as empty text.
    const QJsonValue markdown = object.value(markdownKey);
    const QJsonValue srcPath = object.value(srcPathKey);
    if (markdown.isString())
        content.markdown = markdown.toString();
    if (srcPath.isString())
        content.srcPath = srcPath.toString();
    content.status = BackupContent::Ok;
    return content;
}
