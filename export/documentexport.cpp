#include "export/documentexport.h"

#include "files/savefile.h"

#include <QCoreApplication>

namespace exporting {

Result writePackage(const QByteArray &package, const QString &targetPath)
{
    if (package.isEmpty())
        return {false, QCoreApplication::translate("Export", "无法生成文档")};
    QString error;
    if (!saveFile(targetPath, package, &error))
        return {false, error};
    return {true, QString()};
}

} // namespace exporting
