#ifndef BACKUPMANAGER_H
#define BACKUPMANAGER_H

#include <QDialog>

namespace Ui { class BackupManager; }
class QStandardItemModel;

// Lists the backup files newest first; previews or deletes the selected one.
class BackupManager : public QDialog
{
    Q_OBJECT

public:
    explicit BackupManager(QWidget *parent = nullptr);
    ~BackupManager() override;

    void loadBackupList();

private slots:
    void on_previewButton_clicked();
    void on_deleteButton_clicked();

private:
    QString selectedPath() const;

    Ui::BackupManager *ui;
    QString backupDir;
    QStandardItemModel *model;
};

#endif // BACKUPMANAGER_H
