#include "files/filekind.h"

#include <QCoreApplication>
#include <QFileInfo>

bool isSpecialFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

QString specialFileReason()
{
    return QCoreApplication::translate("FileKind", "它不是普通文件，而是设备、管道或套接字");
}
