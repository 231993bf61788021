#include "app/aboutdialog.h"
#include "ui_aboutdialog.h"

#include <QCoreApplication>

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    ui->closeButton->setDefault(true);
    // The version comes from the build, so the dialog never tells an old one.
    ui->textBrowser->setHtml(
        QStringLiteral("<body style=\"font-family:'SimSun'; font-size:14pt;\">"
                       "<p style=\"margin:0\"><span style=\"font-size:28pt;\">%1</span>%2</p>"
                       "<p style=\"margin:0\"><br /></p><p style=\"margin:0\">%3</p></body>")
            .arg(QCoreApplication::applicationName().toHtmlEscaped(),
                 tr("是一个可见即可得的Markdown编辑工具。用户可以使用它来编写文档，并且支持导出PDF等功能。").toHtmlEscaped(),
                 (tr("版本 %1").arg(QStringLiteral(VELTRANE_VERSION)) + QStringLiteral(" © Orrinfold")).toHtmlEscaped()));
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

QString AboutDialog::text() const
{
    return ui->textBrowser->toPlainText();
}

void AboutDialog::on_closeButton_clicked()
{
    close();
}
