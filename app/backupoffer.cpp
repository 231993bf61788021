#include "app/backupoffer.h"

#include "app/messagebox.h"

#include <QFileInfo>
#include <QInputDialog>

QString BackupOffer::choose(QWidget *parent, const QStringList &backups)
{
    if (backups.isEmpty()
        || showMessageBox(QMessageBox::NoIcon, tr("提示"), tr("系统检查到有未保存的备份文件，是否继续编辑？"),
                          MessageBoxYesNo) != QMessageBox::Yes)
        return QString();
    if (backups.size() == 1)
        return backups.first();
    QStringList names;
    for (const QString &path : backups)
        names << QFileInfo(path).fileName();
    bool ok = false;
    const QString name = QInputDialog::getItem(
        parent, tr("提示"),
        tr("有 %1 个未保存的备份。选择一个在这个窗口中继续编辑；其余的留在备份文件夹中，下一个新窗口会再次提供。")
            .arg(backups.size()),
        names, 0, false, &ok);
    return ok ? backups.value(names.indexOf(name)) : QString();
}
