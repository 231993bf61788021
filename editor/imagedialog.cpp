#include "editor/imagedialog.h"

#include "editor/addresses.h"

#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

ImageDialog::ImageDialog(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowCloseButtonHint)
    , pathField(new QLineEdit(this))
    , confirmButton(new QPushButton(tr("确定"), this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    if (parent)
        setWindowIcon(parent->windowIcon());
    setWindowTitle(tr("插入图片"));
    resize(300, 120);

    auto *form = new QFormLayout(this);
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    form->setSpacing(10);

    auto *chooseButton = new QPushButton(tr("选择"), this);
    // Return in the field is OK, not the file chooser next to it.
    confirmButton->setDefault(true);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(pathField);
    pathRow->addWidget(chooseButton);
    form->addRow(tr("链接:(支持本地路径或者网络URL)"), pathRow);

    auto *cancelButton = new QPushButton(tr("取消"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(confirmButton);
    buttons->addWidget(cancelButton);
    form->addRow(buttons);

    connect(chooseButton, &QPushButton::clicked, this, &ImageDialog::choose);
    connect(confirmButton, &QPushButton::clicked, this, &ImageDialog::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool ImageDialog::isAcceptablePath(const QString &text)
{
    return Addresses::isUrl(text) || Addresses::isWindowsPath(text)
        || Addresses::isLocalAbsolutePath(text);
}

void ImageDialog::choose()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("选择图片"), QDir::homePath(),
                                                      QStringLiteral("(*.jpg)\n(*.bmp)\n(*.png)"));
    if (!file.isEmpty())
        pathField->setText(file);
}

void ImageDialog::confirm()
{
    const QString text = pathField->text();
    if (!isAcceptablePath(text)) {
        QToolTip::showText(pathField->mapToGlobal(QPoint(0, 0)), tr("不是合法的图片路径"), pathField);
        return;
    }
    emit imageChosen(text);
    accept();
}
