#include "backup/backuppreview.h"
#include "ui_backuppreview.h"

BackupPreview::BackupPreview(QWidget *parent) : QDialog(parent), ui(new Ui::BackupPreview)
{
    ui->setupUi(this);
    // Shown, not edited: Return then reaches the dialog's OK button.
    ui->textEdit->setReadOnly(true);
}

BackupPreview::~BackupPreview()
{
    delete ui;
}

void BackupPreview::setPreviewText(const QString &text)
{
    // Always plain: a backup is one line of JSON, and any tag in the Markdown would
    // otherwise make the text edit render it as rich text and hide what is stored.
    ui->textEdit->setPlainText(text);
}

QTextEdit *BackupPreview::textEdit() const
{
    return ui->textEdit;
}
