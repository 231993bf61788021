// The program's dialogs as the keyboard meets them: Return confirms and Escape
// cancels in each; save and export dialogs add their extension to a bare name;
// the About dialog tells the version of the build.

#include "support/windowtest.h"

#include "app/aboutdialog.h"
#include "app/savedialog.h"
#include "backup/backupstore.h"
#include "editor/imagedialog.h"
#include "editor/linkdialog.h"

#include <QTableView>

namespace {

using Step = std::function<void(QWidget *)>;

// A step that fills the dialog in (prepare) and presses key where the focus is.
Step press(int key, const Step &prepare = Step())
{
    return [key, prepare](QWidget *dialog) {
        if (prepare)
            prepare(dialog);
        QApplication::setActiveWindow(dialog);
        QWidget *target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QTest::keyClick(target, Qt::Key(key));
    };
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void returnConfirmsEscapeCancels();
    void saveAndExportAddTheirExtension();
    void aboutTellsTheVersion();

private:
    std::unique_ptr<QTemporaryDir> home;
};

void TestDialogs::initTestCase()
{
    home = GuiTest::isolate();
}

void TestDialogs::returnConfirmsEscapeCancels()
{
    WindowHarness w;
    QVERIFY(w.showAndWait());
    QVERIFY(w.switchTo(true));
    w.editor()->clear();
    auto run = [&w](const char *action, const QList<Step> &steps) {
        return GuiTest::throughModals([&w, action] { w.action(action)->trigger(); }, steps);
    };
    auto text = [&w] { return w.editor()->toPlainText(); };

    // Link: Escape inserts nothing; Return inserts what the fields say.
    const Step fillLink = [](QWidget *dialog) {
        auto *link = qobject_cast<LinkDialog *>(dialog);
        link->textEdit()->setText(QStringLiteral("Install"));
        link->urlEdit()->setText(QStringLiteral("docs/install.md"));
    };
    QCOMPARE(run("actionLink", {press(Qt::Key_Escape, fillLink)}), QStringList{QStringLiteral("LinkDialog")});
    QCOMPARE(text(), QString());
    QCOMPARE(run("actionLink", {press(Qt::Key_Return, fillLink)}), QStringList{QStringLiteral("LinkDialog")});
    QCOMPARE(text(), QStringLiteral("[Install](docs/install.md)"));

    // Image: the same.
    const Step fillImage = [](QWidget *dialog) {
        qobject_cast<ImageDialog *>(dialog)->pathEdit()->setText(QStringLiteral("/pictures/a.png"));
    };
    w.editor()->clear();
    QCOMPARE(run("actionImage", {press(Qt::Key_Escape, fillImage)}), QStringList{QStringLiteral("ImageDialog")});
    QCOMPARE(text(), QString());
    QCOMPARE(run("actionImage", {press(Qt::Key_Enter, fillImage)}), QStringList{QStringLiteral("ImageDialog")});
    QCOMPARE(text(), QStringLiteral("![图片ALT](/pictures/a.png)"));

    // Table: Escape inserts no table (not even the last size chosen); Return the
    // size in the two fields.
    const Step fillTable = [](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("rowsEdit"))->setText(QStringLiteral("2"));
        dialog->findChild<QLineEdit *>(QStringLiteral("columnsEdit"))->setText(QStringLiteral("3"));
    };
    w.editor()->clear();
    QCOMPARE(run("actionTable", {press(Qt::Key_Escape, fillTable)}), QStringList{QStringLiteral("TableDialog")});
    QCOMPARE(text(), QString());
    QCOMPARE(run("actionTable", {press(Qt::Key_Return, fillTable)}), QStringList{QStringLiteral("TableDialog")});
    const QStringList rows = text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 3); // header, rule and one body row
    QCOMPARE(rows.first().count(QLatin1Char('|')), 4);

    // Dialogs without a text to confirm close on either key.
    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        QCOMPARE(run("actionSetting", {press(key)}), QStringList{QStringLiteral("SettingDialog")});
        QCOMPARE(run("actionAbout", {press(key)}), QStringList{QStringLiteral("AboutDialog")});
        QCOMPARE(run("actionLicenses", {press(key)}), QStringList{QStringLiteral("DialogLicense")});
    }

    // Backup manager: Return previews the chosen backup, Return closes the
    // preview, Escape the manager.
    QVERIFY(QDir().mkpath(BackupStore::defaultDir()));
    QVERIFY(GuiTest::writeFile(BackupStore::defaultDir() + QStringLiteral("/untitled-1"),
                               BackupStore::serialize(QStringLiteral("kept"), QString())));
    const Step chooseFirst = [](QWidget *dialog) { dialog->findChild<QTableView *>()->selectRow(0); };
    QCOMPARE(run("actionBackup", {press(Qt::Key_Return, chooseFirst), press(Qt::Key_Return), press(Qt::Key_Escape)}),
             (QStringList{QStringLiteral("BackupManager"), QStringLiteral("BackupPreview"), QStringLiteral("BackupManager")}));
    QVERIFY(QDir(BackupStore::defaultDir()).removeRecursively()); // or the next window offers it

    // The question before unsaved work is dropped: Escape keeps it, Return drops it.
    QVERIFY(w.document()->isModified());
    QCOMPARE(run("actionNew", {press(Qt::Key_Escape)}), QStringList{QStringLiteral("QMessageBox")});
    QVERIFY(!text().isEmpty());
    QCOMPARE(run("actionNew", {press(Qt::Key_Return)}), QStringList{QStringLiteral("QMessageBox")});
    QTRY_VERIFY(text().isEmpty());
}

void TestDialogs::saveAndExportAddTheirExtension()
{
    QCOMPARE(withDefaultSuffix(QStringLiteral("/a/b.c/doc"), QStringLiteral("md")), QStringLiteral("/a/b.c/doc.md"));
    QCOMPARE(withDefaultSuffix(QStringLiteral("/a/doc.markdown"), QStringLiteral("md")), QStringLiteral("/a/doc.markdown"));
    QCOMPARE(withDefaultSuffix(QString(), QStringLiteral("md")), QString());

    WindowHarness w;
    QVERIFY(w.showAndWait());
    w.page()->setMarkdown(QStringLiteral("# Exported\n"));
    const struct
    {
        const char *action;
        const char *typed;
        const char *written;
    } cases[] = {{"actionSaveAs", "doc1", "doc1.md"}, // Word and OpenDocument: tst_window
                 {"actionHTML", "page", "page.html"},
                 {"actionPDF", "print", "print.pdf"}};
    for (const auto &c : cases) {
        const QString typed = home->filePath(QLatin1String(c.typed));
        const QString written = home->filePath(QLatin1String(c.written));
        GuiTest::ModalAnswers answers({QStringLiteral("明白")}, typed);
        w.action(c.action)->trigger();
        QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo(written).size() > 0, c.written, 20000);
        QVERIFY2(!QFile::exists(typed), c.typed);
    }
    QCOMPARE(w.document()->filePath(), home->filePath(QStringLiteral("doc1.md")));
}

void TestDialogs::aboutTellsTheVersion()
{
    AboutDialog about;
    QVERIFY2(about.text().contains(QStringLiteral("版本 " VELTRANE_VERSION)), qPrintable(about.text()));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
