#include "app/messagebox.h"

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
