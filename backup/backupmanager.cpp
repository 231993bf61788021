#include "backup/backupmanager.h"
#include "ui_backupmanager.h"

#include "backup/backuppreview.h"
#include "backup/backupstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTextStream>

BackupManager::BackupManager(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::BackupManager)
    , backupDir(BackupStore::defaultDir())
    , model(new QStandardItemModel(this))
{
    ui->setupUi(this);
    setWindowTitle(tr("备份管理"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/logo.png")));

    ui->tableView->setModel(model);
    ui->tableView->horizontalHeader()->setStretchLastSection(true);
    ui->tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    // The buttons act on the name shown in the cell, so it must not be editable.
    ui->tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // Where no backup can be written, none is being made: say so above the list.
    if (!BackupStore(backupDir).isWritable()) {
        auto *notice = new QLabel(tr("不能写入备份文件夹 %1：未保存的修改现在没有备份")
                                      .arg(QDir::toNativeSeparators(backupDir)), this);
        notice->setObjectName(QStringLiteral("backupsOffNotice"));
        notice->setWordWrap(true);
        ui->verticalLayout->insertWidget(0, notice);
    }

    loadBackupList();
}

BackupManager::~BackupManager()
{
    delete ui;
}

void BackupManager::loadBackupList()
{
    model->clear();
    model->setColumnCount(2);
    model->setHorizontalHeaderItem(0, new QStandardItem(tr("名称")));
    model->setHorizontalHeaderItem(1, new QStandardItem(tr("创建时间")));

    const QFileInfoList files = QDir(backupDir).entryInfoList(QDir::Files, QDir::Time);
    for (int row = 0; row < files.size(); ++row) {
        const QFileInfo &info = files.at(row);
        // Not every file system records a creation time; the first write is the next best.
        QDateTime created = info.birthTime();
        if (!created.isValid())
            created = info.lastModified();
        auto *name = new QStandardItem(info.fileName());
        auto *time = new QStandardItem(created.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        name->setEditable(false);
        time->setEditable(false);
        model->setItem(row, 0, name);
        model->setItem(row, 1, time);
    }
}

QString BackupManager::selectedPath() const
{
    const QModelIndexList rows = ui->tableView->selectionModel()->selectedRows(0);
    if (rows.isEmpty())
        return QString();
    const QString path = backupDir + QLatin1Char('/') + rows.first().data().toString();
    return QFileInfo(path).isFile() ? path : QString();
}

void BackupManager::on_previewButton_clicked()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    const QString text = in.readAll();
    file.close();

    BackupPreview preview(nullptr);
    preview.setWindowTitle(tr("备份预览"));
    preview.setPreviewText(text);
    preview.exec();
}

void BackupManager::on_deleteButton_clicked()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    if (QMessageBox::question(this, tr("提示"), tr("确实要删除吗?"))
        != QMessageBox::Yes)
        return;
    QFile::remove(path);
    loadBackupList();
}
