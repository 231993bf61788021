#include "backup/bakpreview.h"
#include "ui_bakpreview.h"

BakPreview::BakPreview(QWidget *parent) : QDialog(parent), ui(new Ui::BakPreview)
{
    ui->setupUi(this);
    // Shown, not edited: Return then reaches the dialog's OK button.
    ui->textEdit->setReadOnly(true);
}

BakPreview::~BakPreview()
{
    delete ui;
}

void BakPreview::setPreviewText(const QString &text)
{
    // Always plain: a backup is one line of JSON, and any tag in the Markdown would
    // otherwise make the text edit render it as rich text and hide what is stored.
    ui->textEdit->setPlainText(text);
}

QTextEdit *BakPreview::textEdit() const
{
    return ui->textEdit;
}
