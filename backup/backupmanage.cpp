#include "backup/backupmanage.h"

// Placeholder until the manager lands.
BackupManage::BackupManage(QWidget *parent) : QDialog(parent), ui(nullptr), model(nullptr) {}
BackupManage::~BackupManage() = default;
void BackupManage::loadBackupList() {}
void BackupManage::on_pushButton_clicked() {}
void BackupManage::on_btnDel_clicked() {}
QString BackupManage::selectedPath() const { return QString(); }
