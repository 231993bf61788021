#include "app/dialoglicense.h"
#include "ui_dialoglicense.h"

#include <QFile>
#include <QTextStream>

DialogLicense::DialogLicense(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogLicense)
{
    ui->setupUi(this);
    QFile file(QStringLiteral(":/resources/Licenses.html"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        in.setCodec("UTF-8");
        ui->textBrowser->setHtml(in.readAll());
    }
}

DialogLicense::~DialogLicense()
{
    delete ui;
}
