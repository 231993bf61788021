#include "backup/backupstore.h"

#include <QDir>
#include <QStandardPaths>

// Placeholder until the backup store lands.
QString BackupStore::defaultDir()
{
    return QStandardPaths::standardLocations(QStandardPaths::AppDataLocation).value(0)
        + QStringLiteral("/backup");
}
void BackupStore::init() { dir = defaultDir(); QDir().mkpath(dir); }
QString BackupStore::makeFileName(const QString &, const QDateTime &) { return QString(); }
QByteArray BackupStore::serialize(const QString &, const QString &) { return QByteArray(); }
bool BackupStore::write(const QString &, const QString &, const QString &, const QDateTime &) { return false; }
bool BackupStore::remove(const QString &) { return false; }
void BackupStore::adopt(const QString &) {}
QFileInfoList BackupStore::listForRecovery(const QString &) { return {}; }
BackupContent BackupStore::read(const QString &) { return {}; }
