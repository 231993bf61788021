// The open document without a window: files, title, recent list, timed backups
// and recovery, with the source editor as the surface in use.

#include "app/document.h"
#include "app/documentfile.h"
#include "editor/sourcesurface.h"
#include "settings/settings.h"
#include "support/faults.h"
#include "support/guitest.h"

#include <QPlainTextEdit>

using GuiTest::readFile;
using GuiTest::writeFile;

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openEditSaveAndSaveAs();
    void fileIsWrittenAsItWasRead_data();
    void fileIsWrittenAsItWasRead();
    void charactersTheEncodingCannotHoldSaveAsUtf8();
    void recentListKeepsFiveNewestFirst();
    void failedSaveKeepsDocumentModified();
    void openFailuresAreReported();
    void clearMakesAnUntitledDocument();

    void tickWritesNamedCompactBackup();
    void laterEditsAreBackedUpToo();
    void unmodifiedTickDeletesBackup();
    void failingBackupRetriedAtNextTick();
    void restoreOffersTheFirstByName();
    void restoreWithoutUsableSource_data();
    void restoreWithoutUsableSource();
    void brokenBackupsLetStartupGoOn_data();
    void brokenBackupsLetStartupGoOn();
    void fileChangedOnDisk_data();
    void fileChangedOnDisk();

private:
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = files.filePath(name);
        return writeFile(path, bytes) ? path : QString();
    }
    void type(const QString &text) { QTest::keyClicks(editor, text); }
    QStringList backupFiles() { return QDir(backupDir).entryList(QDir::Files); }

    std::unique_ptr<QTemporaryDir> home;
    QTemporaryDir files;
    QString backupDir;
    QPlainTextEdit *editor = nullptr;
    SourceSurface *surface = nullptr;
    Document *document = nullptr;
    QStringList failures;
    QStringList messages;
};

void TestDocument::initTestCase()
{
    home = GuiTest::isolate();
    backupDir = BackupStore::defaultDir();
}

void TestDocument::init()
{
    QDir(backupDir).removeRecursively();
    editor = new QPlainTextEdit;
    surface = new SourceSurface(editor, editor);
    document = new Document(surface, editor);
    document->follow(surface);
    QVERIFY(QFileInfo(backupDir).isDir());
    failures.clear();
    messages.clear();
    connect(document, &Document::failed, this, [this](const QString &reason) { failures << reason; });
    connect(document, &Document::message, this, [this](const QString &text) { messages << text; });
    connect(document, &Document::notice, this, [this](const QString &text) { messages << text; });
}

void TestDocument::cleanup()
{
    delete editor;
}

void TestDocument::openEditSaveAndSaveAs()
{
    QSignalSpy titles(document, &Document::titleChanged);
    const QString path = file(QStringLiteral("notes.md"), "# Notes\n\n中文 text\n");
    QVERIFY(document->open(path));
    QCOMPARE(editor->toPlainText(), QStringLiteral("# Notes\n\n中文 text\n"));
    QCOMPARE(titles.last().first().toString(), QStringLiteral("notes.md  -  Veltrane"));
    QCOMPARE(document->recentFiles().value(0), path);
    QVERIFY(!document->isModified());

    editor->moveCursor(QTextCursor::End);
    type(QStringLiteral("more"));
    QVERIFY(document->isModified());
    QCOMPARE(document->title(), QStringLiteral("notes.md*  -  Veltrane"));
    QSignalSpy saved(document, &Document::saved);
    document->save();
    QCOMPARE(saved.count(), 1);
    QCOMPARE(readFile(path), QStringLiteral("# Notes\n\n中文 text\nmore").toUtf8());
    QVERIFY(!document->isModified());
    QVERIFY(!editor->document()->isModified());
    QCOMPARE(titles.last().first().toString(), QStringLiteral("notes.md  -  Veltrane"));

    // Save As makes the new path current; later saves go there.
    const QString other = files.filePath(QStringLiteral("other.md"));
    QSignalSpy paths(document, &Document::pathChanged);
    document->saveAs(other);
    QCOMPARE(paths.last().first().toString(), other);
    QCOMPARE(document->filePath(), other);
    QCOMPARE(readFile(other), readFile(path));
    QCOMPARE(document->recentFiles().mid(0, 2), (QStringList{other, path}));
    QCOMPARE(document->title(), QStringLiteral("other.md  -  Veltrane"));
    QVERIFY(failures.isEmpty());
}

void TestDocument::fileIsWrittenAsItWasRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("line feeds") << QByteArray("# A\n\nb\n") << QByteArray("# A\n\nb\nmore\nx");
    QTest::newRow("cr lf") << QByteArray("# A\r\n\r\nb\r\n") << QByteArray("# A\r\n\r\nb\r\nmore\r\nx");
    QTest::newRow("old Mac") << QByteArray("# Title\r\rline one\rline two\r")
                             << QByteArray("# Title\r\rline one\rline two\rmore\rx");
    QTest::newRow("mark") << QByteArray("\xEF\xBB\xBF# A\n") << QByteArray("\xEF\xBB\xBF# A\nmore\nx");
    QTest::newRow("mark and cr lf") << QByteArray("\xEF\xBB\xBF# A\r\nb") << QByteArray("\xEF\xBB\xBF# A\r\nbmore\r\nx");
    QTest::newRow("Latin-1") << QByteArray("# Caf\xe9\n") << QByteArray("# Caf\xe9\nmore\nx");
    // The editor's plain text would make them a space and a line feed.
    QTest::newRow("no-break space, line separator")
        << QByteArray("# A\xC2\xA0\xE2\x80\xA8z\n") << QByteArray("# A\xC2\xA0\xE2\x80\xA8z\nmore\nx");
}

void TestDocument::fileIsWrittenAsItWasRead()
{
    // The editor holds plain text; the file gets back what it had.
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, saved);
    const QString path = file(QStringLiteral("ends.md"), bytes);
    QVERIFY(document->open(path));
    QVERIFY(!editor->toPlainText().contains(QLatin1Char('\r')));
    QVERIFY(editor->toPlainText().startsWith(QLatin1Char('#')));
    document->save();
    QCOMPARE(readFile(path), bytes);
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText(QStringLiteral("more\nx"));
    document->save();
    QCOMPARE(readFile(path), saved);
    // A new document is written with the platform's line ends and no mark.
    document->clear();
    editor->insertPlainText(QStringLiteral("a\nb"));
    document->saveAs(files.filePath(QStringLiteral("new.md")));
    QCOMPARE(readFile(files.filePath(QStringLiteral("new.md"))), documentBytes(QStringLiteral("a\nb")));
    QVERIFY(failures.isEmpty());
}

void TestDocument::charactersTheEncodingCannotHoldSaveAsUtf8()
{
    // Rather than as question marks; and the user is told.
    const QString path = file(QStringLiteral("latin1.md"), "Caf\xe9\n");
    QVERIFY(document->open(path));
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText(QStringLiteral("中"));
    messages.clear();
    document->save();
    QCOMPARE(QString::fromUtf8(readFile(path)), QStringLiteral("Café\n中"));
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().contains(QStringLiteral("UTF-8")));
}

void TestDocument::recentListKeepsFiveNewestFirst()
{
    Settings::instance().setRecentFiles({});
    QSignalSpy changed(document, &Document::recentFilesChanged);
    QStringList paths;
    for (int i = 1; i <= 6; ++i) {
        paths << file(QStringLiteral("r%1.md").arg(i), "x\n");
        document->open(paths.last());
    }
    QCOMPARE(document->recentFiles(), (QStringList{paths[5], paths[4], paths[3], paths[2], paths[1]}));
    QCOMPARE(changed.last().first().toStringList(), document->recentFiles());
    document->open(paths[2]); // reopening moves it to the front, once
    QCOMPARE(Settings::instance().recentFiles(), (QStringList{paths[2], paths[5], paths[4], paths[3], paths[1]}));

    // A longer list written by hand shows its first five.
    Settings::instance().setRecentFiles(paths);
    QCOMPARE(document->recentFiles(), paths.mid(0, 5));
}

void TestDocument::failedSaveKeepsDocumentModified()
{
    Settings::instance().setRecentFiles({});
    const QString path = files.filePath(QStringLiteral("missing-folder/cannot.md"));
    QSignalSpy saved(document, &Document::saved);
    type(QStringLiteral("unsaved words"));
    document->saveAs(path);
    QCOMPARE(failures.size(), 1);
    QVERIFY(failures.first().startsWith(QStringLiteral("不能保存文件 ")));
    QVERIFY(failures.first().contains(QStringLiteral("cannot.md")));
    QCOMPARE(saved.count(), 0);
    QVERIFY(document->isModified());
    QVERIFY(editor->document()->isModified());
    QCOMPARE(document->title(), QStringLiteral("cannot.md*  -  Veltrane"));
    QVERIFY(document->recentFiles().isEmpty());
    QVERIFY(!QFile::exists(path));
}

void TestDocument::openFailuresAreReported()
{
    const QString good = file(QStringLiteral("good.md"), "caf\xc3\xa9\n");
    QVERIFY(document->open(good));
    QVERIFY(!document->open(files.filePath(QStringLiteral("does-not-exist.md"))));
    QCOMPARE(failures.size(), 1);
    QVERIFY(failures.first().startsWith(QStringLiteral("不能打开文件 ")));
    QCOMPARE(document->filePath(), good);
    QCOMPARE(editor->toPlainText(), QStringLiteral("café\n"));

    // Not UTF-8: read in its own encoding, and the user is told which.
    const QString latin1 = file(QStringLiteral("latin1.md"), "caf\xe9 au lait\n");
    messages.clear();
    QVERIFY(document->open(latin1));
    QCOMPARE(failures.size(), 1);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().contains(QStringLiteral("windows-1252")));
    QCOMPARE(editor->toPlainText(), QStringLiteral("café au lait\n"));
    QCOMPARE(document->filePath(), latin1);

#ifdef Q_OS_UNIX
    // Devices, pipes and sockets are refused unread: reading one could block or never end.
    Faults::Pipe pipe(files.filePath(QStringLiteral("pipe.md")));
    QVERIFY(pipe.isMade());
    for (const QString &special : {files.filePath(QStringLiteral("pipe.md")), QStringLiteral("/dev/null")}) {
        QVERIFY(!document->open(special));
        QVERIFY2(failures.last().contains(QStringLiteral("管道")), qPrintable(failures.last()));
    }
    QVERIFY(!pipe.wasOpened());
    QCOMPARE(document->filePath(), latin1);
#endif
}

void TestDocument::clearMakesAnUntitledDocument()
{
    document->open(file(QStringLiteral("old.md"), "old text\n"));
    type(QStringLiteral("x"));
    document->clear();
    QVERIFY(document->filePath().isEmpty());
    QVERIFY(document->fileName().isEmpty());
    QVERIFY(editor->toPlainText().isEmpty());
    QVERIFY(!document->isModified());
    QVERIFY(!editor->document()->isModified());
    QCOMPARE(document->title(), QStringLiteral("[未保存]  -  Veltrane"));
}

void TestDocument::tickWritesNamedCompactBackup()
{
    const QString path = file(QStringLiteral("notes.md"), "old\n");
    document->open(path);
    surface->setMarkdown(QStringLiteral("# 笔记\n\nline two"));
    document->setModified(true);
    document->backupTick();

    const QStringList names = backupFiles();
    QCOMPARE(names.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^notes\\.md-\\d{4}-\\d\\d-\\d\\d_\\d{9}$")).match(names.first()).hasMatch(),
             qPrintable(names.first()));
    const QString backup = backupDir + QLatin1Char('/') + names.first();
    QCOMPARE(readFile(backup), BackupStore::serialize(QStringLiteral("# 笔记\n\nline two"), path));
    QCOMPARE(document->backupPath(), backup);
    QVERIFY(!document->isBackupPending());
    QCOMPARE(messages, QStringList{QStringLiteral("备份成功")});

    // Nothing pending: the next tick leaves the file alone.
    surface->setMarkdown(QStringLiteral("changed"));
    document->backupTick();
    QVERIFY(readFile(backup).contains("line two"));
}

void TestDocument::laterEditsAreBackedUpToo()
{
    type(QStringLiteral("first"));
    document->backupTick();
    QCOMPARE(backupFiles().size(), 1);
    // The document stays modified; every later edit is written at the next tick.
    type(QStringLiteral(" second"));
    QVERIFY(document->isBackupPending());
    document->backupTick();
    QCOMPARE(backupFiles().size(), 1);
    QCOMPARE(readFile(document->backupPath()), BackupStore::serialize(QStringLiteral("first second"), QString()));
}

void TestDocument::unmodifiedTickDeletesBackup()
{
    type(QStringLiteral("text"));
    document->backupTick();
    QCOMPARE(backupFiles().size(), 1);
    // Undone back to the saved state: no longer modified, the backup goes.
    editor->undo();
    QVERIFY(!document->isModified());
    document->backupTick();
    QVERIFY(backupFiles().isEmpty());
    QVERIFY(document->backupPath().isEmpty());
    QCOMPARE(messages.last(), QStringLiteral("备份已删除"));
}

void TestDocument::failingBackupRetriedAtNextTick()
{
    // A folder that cannot be made (as in a read-only home): said once, retried every tick.
    QVERIFY(QDir(backupDir).removeRecursively());
    QVERIFY(writeFile(backupDir, "a file where the folder was"));
    type(QStringLiteral("keep me"));
    document->backupTick();
    QVERIFY(document->isBackupPending());
    QVERIFY(document->backupPath().isEmpty());
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().contains(QDir::toNativeSeparators(backupDir)));
    type(QStringLiteral("!"));
    document->backupTick();
    QCOMPARE(messages.size(), 1);

    QVERIFY(QFile::remove(backupDir));
    document->backupTick();
    QCOMPARE(messages.last(), QStringLiteral("备份成功"));
    QVERIFY(!document->isBackupPending());
    QCOMPARE(backupFiles().size(), 1);
    QVERIFY(readFile(document->backupPath()).contains("keep me"));
}

void TestDocument::restoreOffersTheFirstByName()
{
    QVERIFY(document->backupsToOffer().isEmpty());
    const QString notes = file(QStringLiteral("notes.md"), "# on disk\n");
    const QString notesBackup = backupDir + QStringLiteral("/notes.md-2026-12-06_140700123");
    QVERIFY(writeFile(notesBackup, BackupStore::serialize(QStringLiteral("# Recovered notes"), notes)));
    QVERIFY(writeFile(backupDir + QStringLiteral("/untitled-2026-12-06_140700123"),
                      BackupStore::serialize(QStringLiteral("untitled text"), QString())));

    QCOMPARE(document->backupsToOffer().value(0), notesBackup);
    QVERIFY(document->restoreBackup(notesBackup));
    QCOMPARE(document->filePath(), notes);
    QCOMPARE(document->fileName(), QStringLiteral("notes.md"));
    QVERIFY(document->isModified());
    QVERIFY(editor->document()->isModified());
    QCOMPARE(document->title(), QStringLiteral("notes.md*  -  Veltrane"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("# Recovered notes"));
    QCOMPARE(document->backupPath(), notesBackup);

    // The restored file is the document's backup from now on: the next backup rewrites it.
    surface->setMarkdown(QStringLiteral("edited after recovery"));
    document->setModified(true);
    document->backupTick();
    QCOMPARE(backupFiles().size(), 2);
    QCOMPARE(readFile(notesBackup), BackupStore::serialize(QStringLiteral("edited after recovery"), notes));
}

void TestDocument::restoreWithoutUsableSource_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");
    QTest::newRow("markdown only") << QByteArray("{\"markdown\":\"**only markdown**\"}") << "**only markdown**";
    QTest::newRow("source file gone") << QByteArray("{\"markdown\":\"lost\",\"srcpath\":\"/no/such/gone.md\"}") << "lost";
}

void TestDocument::restoreWithoutUsableSource()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    QVERIFY(document->open(file(QStringLiteral("open.md"), "stale\n")));
    QVERIFY(writeFile(backupDir + QStringLiteral("/x"), data));
    QVERIFY(document->restoreBackup(backupDir + QStringLiteral("/x")));
    // An untitled document (not the file open before), modified, with the backup's text.
    QVERIFY(document->filePath().isEmpty());
    QCOMPARE(editor->toPlainText(), text);
    QVERIFY(document->isModified());
    QCOMPARE(document->backupPath(), backupDir + QStringLiteral("/x"));
}

void TestDocument::brokenBackupsLetStartupGoOn_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("array") << QByteArray("[\"markdown\",\"srcpath\"]");
    QTest::newRow("garbage") << QByteArray("\x89PNG not a backup");
    QTest::newRow("neither member") << QByteArray("{\"text\":\"x\"}");
    QTest::newRow("number as markdown, real file") << QByteArray("{\"markdown\":12345,\"srcpath\":\"REAL\"}");
}

void TestDocument::brokenBackupsLetStartupGoOn()
{
    QFETCH(QByteArray, data);
    const QString real = file(QStringLiteral("real.md"), "real content\n");
    QVERIFY(writeFile(backupDir + QStringLiteral("/broken"), data.replace("REAL", real.toUtf8())));
    QVERIFY(!document->restoreBackup(backupDir + QStringLiteral("/broken")));
    QCOMPARE(failures, QStringList{QStringLiteral("备份文件已损坏，请查看备份管理。")});
    QVERIFY(!document->isModified());
    QVERIFY(document->backupPath().isEmpty());
    // Not bound to the file it names: a save cannot reach it.
    QVERIFY(document->filePath().isEmpty());
    QCOMPARE(readFile(real), QByteArray("real content\n"));
    // The file stays for the backup manager; an unreadable one is passed over silently.
    QCOMPARE(backupFiles(), QStringList{QStringLiteral("broken")});
    QVERIFY(!document->restoreBackup(backupDir + QStringLiteral("/none")));
    QCOMPARE(failures.size(), 1);
}

void TestDocument::fileChangedOnDisk_data()
{
    QTest::addColumn<bool>("localEdits");
    QTest::addColumn<bool>("keepMine");
    QTest::addColumn<bool>("saveAtOnce"); // saved before the watcher had a look
    QTest::addColumn<int>("asked");
    QTest::addColumn<bool>("sameSizeAndTime"); // the other program kept both
    QTest::newRow("no local edits: reloaded") << false << false << false << 0 << false;
    QTest::newRow("local edits, keep mine") << true << true << false << 1 << false;
    QTest::newRow("local edits, load theirs") << true << false << false << 1 << false;
    QTest::newRow("saved at once, keep mine") << true << true << true << 1 << false;
    QTest::newRow("saved at once, load theirs") << true << false << true << 1 << false;
    QTest::newRow("same size and time, keep mine") << true << true << true << 1 << true;
    QTest::newRow("same size and time, load theirs") << true << false << true << 1 << true;
}

void TestDocument::fileChangedOnDisk()
{
    QFETCH(bool, localEdits);
    QFETCH(bool, keepMine);
    QFETCH(bool, saveAtOnce);
    QFETCH(int, asked);
    QFETCH(bool, sameSizeAndTime);
    const QString path = file(QStringLiteral("watched.md"), "original\n");
    const QDateTime time = QFileInfo(path).lastModified();
    QVERIFY(document->open(path));
    int asks = 0;
    document->setConflictResolver([&](const QString &) {
        ++asks;
        return keepMine;
    });
    if (localEdits) {
        editor->moveCursor(QTextCursor::End);
        type(QStringLiteral("mine"));
    }
    const QString theirs = sameSizeAndTime ? QStringLiteral("ORIGINAL\n") : QStringLiteral("theirs, from another program\n");
    QVERIFY(writeFile(path, theirs.toUtf8()));
    if (sameSizeAndTime) {
        QFile touched(path);
        QVERIFY(touched.open(QIODevice::ReadWrite) && touched.setFileTime(time, QFileDevice::FileModificationTime));
    }

    const QString expected = keepMine ? QStringLiteral("original\nmine") : theirs;
    if (saveAtOnce)
        document->save();
    QTRY_VERIFY(asks == asked && editor->toPlainText() == expected);
    QCOMPARE(document->isModified(), keepMine && !saveAtOnce);
    // Settled: one question, and a save writes what the document shows.
    document->checkDisk();
    document->save();
    QCOMPARE(asks, asked);
    QCOMPARE(QString::fromUtf8(readFile(path)), expected);
    QVERIFY(failures.isEmpty());
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
