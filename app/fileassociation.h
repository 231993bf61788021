#ifndef FILEASSOCIATION_H
#define FILEASSOCIATION_H

#include <QList>
#include <QPair>
#include <QString>

// The per-user registry values (key relative to HKEY_CURRENT_USER\Software\Classes,
// value) that associate extension with the executable, in the order they are written.
QList<QPair<QString, QString>> fileAssociationEntries(const QString &exePath, const QString &progId,
                                                      const QString &extension, const QString &typeName);

// Writes those values for the current user (Windows only; elsewhere the desktop
// entry installed with the program declares the type).
void registerFileAssociation(const QString &exePath, const QString &progId, const QString &extension,
                             const QString &typeName);

#endif // FILEASSOCIATION_H
