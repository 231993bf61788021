#ifndef BACKUPMANAGE_H
#define BACKUPMANAGE_H

#include <QDialog>

namespace Ui { class BackupManage; }
class QStandardItemModel;

// Lists the backup files newest first; previews or deletes the selected one.
class BackupManage : public QDialog
{
    Q_OBJECT

public:
    explicit BackupManage(QWidget *parent = nullptr);
    ~BackupManage() override;

    void loadBackupList();

private slots:
    void on_pushButton_clicked();
    void on_btnDel_clicked();

private:
    QString selectedPath() const;

    Ui::BackupManage *ui;
    QString backupDir;
    QStandardItemModel *model;
};

#endif // BACKUPMANAGE_H
