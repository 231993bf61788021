#include "app/fileassociation.h"

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
