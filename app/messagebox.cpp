#include "app/messagebox.h"

#include <QDir>
#include <QIcon>
#include <QPushButton>
#include <QObject>

int showMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text, int kind)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, nullptr,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box.setWindowIcon(QIcon(QStringLiteral(":/resources/logo.png")));
    switch (kind) {
    case MessageBoxYesNo:
        box.addButton(QMessageBox::Yes)->setText(QObject::tr("是"));
        box.addButton(QMessageBox::No)->setText(QObject::tr("否"));
        break;
    case MessageBoxUnderstood:
        box.addButton(QMessageBox::Yes)->setText(QObject::tr("明白"));
        break;
    default:
        box.addButton(QMessageBox::Yes)->setText(QObject::tr("是"));
        break;
    }
    return box.exec();
}

bool askKeepMineOnConflict(QWidget *parent, const QString &path)
{
    QMessageBox box(QMessageBox::Warning, QObject::tr("提示"),
                    QObject::tr("文件 %1 已被其他程序修改。保留这里的修改（保存时覆盖磁盘上的版本），还是载入磁盘上的版本（放弃这里的修改）？")
                        .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::NoButton, parent);
    QPushButton *mine = box.addButton(QObject::tr("保留我的修改"), QMessageBox::AcceptRole);
    QPushButton *theirs = box.addButton(QObject::tr("载入磁盘上的版本"), QMessageBox::DestructiveRole);
    box.setDefaultButton(mine);
    box.setEscapeButton(mine);
    box.exec();
    return box.clickedButton() != theirs;
}
