#include "backup/backupmanager.h"
#include "backup/backupstore.h"
#include "backup/backuppreview.h"
#include "support/guitest.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QtTest>


class TestBackupManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void emptyFolder();
    void newestFirst();
    void previewShowsStoredTextAsIs();
    void deleteAsksAndHonoursTheAnswer();
    void saysWhenBackupsCannotBeWritten();

private:
    QStringList names(BackupManager &manager) const;
    QTableView *table(BackupManager &manager) const { return manager.findChild<QTableView *>(QStringLiteral("tableView")); }
    void select(BackupManager &manager, int row) const;
    void click(BackupManager &manager, const char *name) const
    {
        manager.findChild<QPushButton *>(QLatin1String(name))->click();
    }
    void writeBackup(const QString &name, const QByteArray &data, int minutesAgo);

    std::unique_ptr<QTemporaryDir> home;
    QString dir;
};

void TestBackupManager::initTestCase()
{
    home = GuiTest::isolate();
    dir = BackupStore::defaultDir();
}

void TestBackupManager::init()
{
    QDir(dir).removeRecursively();
    QVERIFY(QDir().mkpath(dir));
}

QStringList TestBackupManager::names(BackupManager &manager) const
{
    QStringList result;
    QAbstractItemModel *model = table(manager)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        result << model->index(row, 0).data().toString();
    return result;
}

void TestBackupManager::select(BackupManager &manager, int row) const
{
    table(manager)->selectRow(row);
}

void TestBackupManager::writeBackup(const QString &name, const QByteArray &data, int minutesAgo)
{
    QFile file(dir + QLatin1Char('/') + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), qint64(data.size()));
    QVERIFY(file.flush()); // a later flush would stamp the time anew
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo), QFileDevice::FileModificationTime));
}

void TestBackupManager::emptyFolder()
{
    QVERIFY(QDir(dir).removeRecursively());
    BackupManager manager;
    QCOMPARE(manager.windowTitle(), QStringLiteral("备份管理"));
    QAbstractItemModel *model = table(manager)->model();
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(model->columnCount(), 2);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("名称"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("创建时间"));
    // Nothing selected: both buttons do nothing (no dialog would be answered here).
    click(manager, "previewButton");
    click(manager, "deleteButton");
}

void TestBackupManager::newestFirst()
{
    writeBackup(QStringLiteral("a.md-old"), "{}", 30);
    writeBackup(QStringLiteral("untitled-newest"), "{}", 1);
    writeBackup(QStringLiteral("b.md-middle"), "{}", 10);
    BackupManager manager;
    QCOMPARE(names(manager), (QStringList{QStringLiteral("untitled-newest"), QStringLiteral("b.md-middle"),
                                          QStringLiteral("a.md-old")}));
    const QString created = table(manager)->model()->index(0, 1).data().toString();
    QVERIFY2(QDateTime::fromString(created, QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid(), qPrintable(created));
    QCOMPARE(table(manager)->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table(manager)->selectionMode(), QAbstractItemView::SingleSelection);
    // The buttons act on the name in the cell, which therefore cannot be edited.
    QVERIFY(!(table(manager)->model()->index(0, 0).flags() & Qt::ItemIsEditable));
}

void TestBackupManager::previewShowsStoredTextAsIs()
{
    // A tag in the Markdown must not turn the preview into rendered rich text.
    const QByteArray stored = BackupStore::serialize(QStringLiteral("<b>bold</b> & 中文\nnext"), QStringLiteral("/a.md"));
    writeBackup(QStringLiteral("a.md-1"), stored, 1);
    BackupManager manager;
    select(manager, 0);

    QString shown;
    QTimer::singleShot(0, [&shown] {
        QTRY_VERIFY(qobject_cast<BackupPreview *>(QApplication::activeModalWidget()));
        auto *preview = qobject_cast<BackupPreview *>(QApplication::activeModalWidget());
        shown = preview->findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText();
        preview->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    click(manager, "previewButton");
    QCOMPARE(shown, QString::fromUtf8(stored));
}

void TestBackupManager::deleteAsksAndHonoursTheAnswer()
{
    writeBackup(QStringLiteral("older"), "{}", 5);
    writeBackup(QStringLiteral("newer"), "{}", 1);
    BackupManager manager;
    select(manager, 1);

    {
        GuiTest::ModalAnswers answers({QStringLiteral("&No")});
        click(manager, "deleteButton");
        QCOMPARE(answers.seen, QStringList{QStringLiteral("确实要删除吗?")});
    }
    QVERIFY(QFile::exists(dir + QStringLiteral("/older")));
    QCOMPARE(names(manager), (QStringList{QStringLiteral("newer"), QStringLiteral("older")}));

    GuiTest::ModalAnswers answers({QStringLiteral("&Yes")});
    click(manager, "deleteButton");
    QCOMPARE(answers.seen, QStringList{QStringLiteral("确实要删除吗?")});
    QVERIFY(!QFile::exists(dir + QStringLiteral("/older")));
    QCOMPARE(names(manager), QStringList{QStringLiteral("newer")});

    // Deleting the only row leaves the headers.
    select(manager, 0);
    click(manager, "deleteButton");
    QCOMPARE(table(manager)->model()->rowCount(), 0);
    QCOMPARE(table(manager)->model()->columnCount(), 2);
    QVERIFY(QDir(dir).isEmpty());
}

void TestBackupManager::saysWhenBackupsCannotBeWritten()
{
    QVERIFY(!BackupManager().findChild<QLabel *>(QStringLiteral("backupsOffNotice")));
    // No folder can be made where a file stands (as in a read-only home).
    QVERIFY(QDir(dir).removeRecursively());
    QVERIFY(GuiTest::writeFile(dir, "a file where the folder was"));
    BackupManager manager;
    auto *notice = manager.findChild<QLabel *>(QStringLiteral("backupsOffNotice"));
    QVERIFY(notice);
    QVERIFY(notice->text().contains(QDir::toNativeSeparators(dir)));
    QVERIFY(QFile::remove(dir));
}

QTEST_MAIN(TestBackupManager)
#include "tst_backupmanager.moc"
