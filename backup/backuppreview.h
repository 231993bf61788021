#ifndef BACKUPPREVIEW_H
#define BACKUPPREVIEW_H

#include <QDialog>

namespace Ui { class BackupPreview; }
class QTextEdit;

// Shows the raw text of one backup file; nothing typed here is kept.
class BackupPreview : public QDialog
{
    Q_OBJECT

public:
    explicit BackupPreview(QWidget *parent = nullptr);
    ~BackupPreview() override;

    void setPreviewText(const QString &text);
    QTextEdit *textEdit() const;

private:
    Ui::BackupPreview *ui;
};

#endif // BACKUPPREVIEW_H
