#include "app/fileassociation.h"

#include <QSettings>

QList<QPair<QString, QString>> fileAssociationEntries(const QString &exePath, const QString &progId,
                                                      const QString &extension, const QString &typeName)
{
    const QString quote(QLatin1Char('"'));
    return {
        {QStringLiteral("/") + progId + QStringLiteral("/Shell/Open/Command/."),
         quote + exePath + quote + QStringLiteral(" \"%1\"")},
        {QStringLiteral("/") + progId + QStringLiteral("/."), typeName},
        {QStringLiteral("/") + progId + QStringLiteral("/DefaultIcon/."), exePath + QStringLiteral(",0")},
        {QStringLiteral("/") + extension + QStringLiteral("/OpenWithProgIds/") + progId, QString()},
    };
}

void registerFileAssociation(const QString &exePath, const QString &progId, const QString &extension,
                             const QString &typeName)
{
#ifdef Q_OS_WIN
    QSettings registry(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"), QSettings::NativeFormat);
    for (const auto &entry : fileAssociationEntries(exePath, progId, extension, typeName))
        registry.setValue(entry.first, entry.second);
    registry.sync();
#else
    Q_UNUSED(exePath)
    Q_UNUSED(progId)
    Q_UNUSED(extension)
    Q_UNUSED(typeName)
#endif
}
