#include "editor/linkdialog.h"

#include "editor/addresses.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

LinkDialog::LinkDialog(const QString &text, const QString &url, bool isModify, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowCloseButtonHint)
    , textField(new QLineEdit(text, this))
    , urlField(new QLineEdit(url, this))
    , confirmButton(new QPushButton(tr("确定"), this))
    , modify(isModify)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowIcon(QIcon(QStringLiteral(":/resources/logo.png")));
    setWindowTitle(tr("设置超链接"));
    resize(300, 150);

    auto *form = new QFormLayout(this);
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    form->setSpacing(10);
    form->addRow(tr("文本:"), textField);
    form->addRow(tr("链接:"), urlField);

    auto *cancelButton = new QPushButton(tr("取消"), this);
    // Return in the fields is the OK button; Escape rejects the dialog.
    confirmButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(confirmButton);
    buttons->addWidget(cancelButton);
    form->addRow(buttons);

    connect(confirmButton, &QPushButton::clicked, this, &LinkDialog::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QJsonObject LinkDialog::payload() const
{
    QJsonObject data;
    data.insert(QStringLiteral("title"), textField->text());
    data.insert(QStringLiteral("url"), urlField->text().trimmed());
    data.insert(QStringLiteral("isModify"), modify);
    data.insert(QStringLiteral("isATag"), true);
    return data;
}

void LinkDialog::confirm()
{
    if (!Addresses::isLinkTarget(urlField->text().trimmed())) {
        QToolTip::showText(urlField->mapToGlobal(QPoint(0, 0)), tr("不是合法的URL"), urlField);
        return;
    }
    emit linkAccepted(payload());
    accept();
}
