// Where images go and how the document names them, pasted image data, images
// carried along by Save As, the image dialog's address check and the payloads
// that pasting or dropping sends to the page.

#include "support/faults.h"
#include "support/guitest.h"

#include "convert/markdowntohtml.h"
#include "editor/imagedialog.h"
#include "editor/imagestore.h"
#include "editor/mimepayload.h"
#include "editor/sourcesurface.h"
#include "settings/settings.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

class TestImageStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void uniqueNames_data();
    void uniqueNames();
    void placesImageFiles_data();
    void placesImageFiles();
    void imageDataIsWrittenWholeOrNotAtAll_data();
    void imageDataIsWrittenWholeOrNotAtAll();
    void carriesRelativeImagesOnSaveAs();
    void sourceModeWritesReadableDestinations();
    void pastedHtmlGoesThroughMarkdown();
    void pastedFilesAndText();
    void dialogAcceptsAddresses_data();
    void dialogAcceptsAddresses();
    void dialogOk();

private:
    static void touch(const QString &path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    std::unique_ptr<QTemporaryDir> workDir;
};

void TestImageStore::initTestCase()
{
    workDir = GuiTest::isolate();
}

void TestImageStore::cleanup()
{
    Settings::instance().setImageHandling(Settings::ImageHandling::KeepAddress);
}

void TestImageStore::uniqueNames_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("expected");

    QTest::newRow("free") << QStringList() << "pic.png" << "pic.png";
    QTest::newRow("first copy") << QStringList{"pic.png"} << "pic.png" << "pic-0000.png";
    QTest::newRow("counts on") << QStringList{"pic.png", "pic-0000.png", "pic-0001.png"} << "pic.png" << "pic-0002.png";
    QTest::newRow("counter full") << QStringList{"pic-9999.png"} << "pic-9999.png" << "pic-9999-0000.png";
    QTest::newRow("number name") << QStringList{"2023.png"} << "2023.png" << "2024.png";
    QTest::newRow("no suffix") << QStringList{"README"} << "README" << "README-0000";
    QTest::newRow("last dot") << QStringList{"a.tar.gz"} << "a.tar.gz" << "a.tar-0000.gz";
    QTest::newRow("carry") << QStringList{"x0099.png"} << "x0099.png" << "x0100.png";
}

void TestImageStore::uniqueNames()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, wanted);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    for (const QString &name : existing)
        touch(dir.filePath(name));
    QCOMPARE(uniqueFileName(dir.filePath(wanted)), dir.filePath(expected));
}

void TestImageStore::placesImageFiles_data()
{
    QTest::addColumn<int>("copyMode");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("reference"); // "$" stands for the test folder
    QTest::addColumn<QStringList>("assets"); // the document's assets folder afterwards
    QTest::addColumn<bool>("fails");

    const QStringList before{"pic.png"};
    QTest::newRow("inside, copying") << 1 << "docs/report.final.md" << "$/docs/my pics/50% #1.png"
                                     << "my%20pics/50%25%20%231.png" << before << false;
    QTest::newRow("inside, not copying") << 0 << "docs/report.md" << "$/docs/report.assets/pic.png"
                                         << "report.assets/pic.png" << before << false;
    QTest::newRow("elsewhere, copying") << 1 << "docs/report.final.md" << "$/pic.png" << "report.assets/pic-0000.png"
                                        << QStringList{"pic-0000.png", "pic.png"} << false;
    QTest::newRow("elsewhere, not copying") << 0 << "docs/report.md" << "$/pic.png" << "$/pic.png" << before << false;
    QTest::newRow("other setting") << 2 << "docs/report.md" << "$/pic.png" << "$/pic.png" << before << false;
    QTest::newRow("untitled") << 1 << "" << "$/pic.png" << "$/pic.png" << QStringList() << false;
    QTest::newRow("folder made") << 1 << "new/deeper/x.md" << "$/pic.png" << "x.assets/pic.png" << before << false;
    QTest::newRow("web address") << 1 << "web/x.md" << "https://example.com/images/pic.png"
                                 << "https://example.com/images/pic.png" << QStringList() << false;
    QTest::newRow("missing file") << 1 << "web/x.md" << "$/missing.png" << "" << QStringList() << true;
    QTest::newRow("a pipe") << 1 << "web/x.md" << "$/pipe.png" << "" << QStringList() << true;
    QTest::newRow("assets folder blocked") << 1 << "blocked/x.md" << "$/pic.png" << "" << QStringList() << true;
}

void TestImageStore::placesImageFiles()
{
    QFETCH(int, copyMode);
    QFETCH(QString, document);
    QFETCH(QString, image);
    QFETCH(QString, reference);
    QFETCH(QStringList, assets);
    QFETCH(bool, fails);

    QTemporaryDir dir;
    for (const char *folder : {"docs/report.assets", "docs/my pics", "blocked"})
        QDir(dir.path()).mkpath(folder);
    for (const char *file : {"pic.png", "docs/report.assets/pic.png", "docs/my pics/50% #1.png", "blocked/x.assets"})
        touch(dir.filePath(file));
#ifdef Q_OS_UNIX
    const Faults::Pipe pipe(dir.filePath(QStringLiteral("pipe.png")));
#endif
    // As the settings file holds it; 2 is no choice of this version.
    QSettings(Settings::instance().fileName(), QSettings::IniFormat).setValue(QStringLiteral("saveImageType"), copyMode);

    const QString documentPath = document.isEmpty() ? QString() : dir.filePath(document);
    const StoredImage stored = storeImage(documentPath, QString(image).replace("$", dir.path()));
    QCOMPARE(stored.reference, QString(reference).replace("$", dir.path()));
    QCOMPARE(stored.ok(), !fails);
#ifdef Q_OS_UNIX
    QVERIFY(!pipe.wasOpened());
#endif
    if (document.isEmpty())
        return;
    const QString folder = assetsFolder(documentPath);
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), assets);
    if (assets.isEmpty()) // nothing left behind: no folder either
        QVERIFY(!QFileInfo(folder).isDir());
}

void TestImageStore::imageDataIsWrittenWholeOrNotAtAll_data()
{
    QTest::addColumn<QString>("failure");
    // Unreadable data and a blocked assets folder go through the window's test.
    QTest::newRow("written") << "";
#ifdef Q_OS_LINUX
    QTest::newRow("disk full") << "full";
#endif
}

void TestImageStore::imageDataIsWrittenWholeOrNotAtAll()
{
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const QString document = dir.filePath("notes.md");
    QImage noise(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb((x * 7919 + y * 104729) % 251, (x * y) % 253, (x + y * 31) % 255));
    }
    QMimeData data;
    data.setImageData(noise);

#ifdef Q_OS_LINUX
    // A full disk as a write sees it: the file cannot grow past a few bytes.
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    if (failure == "full") {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
    }
#endif
    const InsertPayloads result = insertPayloads(&data, document);
#ifdef Q_OS_LINUX
    setrlimit(RLIMIT_FSIZE, &saved);
#endif

    const QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (!failure.isEmpty()) {
        QVERIFY(result.payloads.isEmpty());
        QVERIFY2(!result.error.isEmpty(), qPrintable(failure));
        QCOMPARE(left, QStringList()); // neither the image nor its folder
        return;
    }
    QCOMPARE(result.payloads.size(), 1);
    const QString url = result.payloads.first().value("url").toString();
    QVERIFY2(QRegularExpression("^notes\\.assets/image-\\d{8}-\\d{6}\\.png$").match(url).hasMatch(), qPrintable(url));
    QCOMPARE(QImage(dir.filePath(url)), noise);

    // Names taken at the same second go on in the series.
    const QDateTime when(QDate(2024, 1, 2), QTime(3, 4, 5));
    QCOMPARE(storeImageData(document, noise, when).reference, QStringLiteral("notes.assets/image-20240102-030405.png"));
    QCOMPARE(storeImageData(document, noise, when).reference, QStringLiteral("notes.assets/image-20240102-030406.png"));
}

void TestImageStore::carriesRelativeImagesOnSaveAs()
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("from/a.assets");
    QDir(dir.path()).mkpath("to/b/a.assets");
    QDir(dir.path()).mkpath("shared");
    touch(dir.filePath("from/a.assets/one.png"));
    touch(dir.filePath("from/a.assets/same.png"));
    touch(dir.filePath("to/b/a.assets/same.png"));
    GuiTest::writeFile(dir.filePath("from/a.assets/clash.png"), "mine");
    GuiTest::writeFile(dir.filePath("to/b/a.assets/clash.png"), "theirs");
    touch(dir.filePath("shared/up.png"));
    touch(dir.filePath("from/sp ace.png"));
    touch(dir.filePath("from/a.assets/in-code.png"));

    const QString markdown = "![](a.assets/one.png) ![](<sp ace.png>) <img src=\"a.assets/same.png\">\n"
                             "![](a.assets/clash.png) ![](../shared/up.png) ![](a.assets/gone.png)\n"
                             "![](https://example.com/x.png) ![](" + dir.filePath("from/a.assets/one.png") + ")\n"
                             "\n    ![](a.assets/in-code.png)\n";
    const QStringList left = carryRelativeImages(markdown, dir.filePath("from/a.md"), dir.filePath("to/b/b.md"));
    QCOMPARE(left, QStringList({"a.assets/clash.png", "../shared/up.png"}));
    QVERIFY(QFile::exists(dir.filePath("to/b/a.assets/one.png")));
    QVERIFY(QFile::exists(dir.filePath("to/b/sp ace.png")));
    QCOMPARE(GuiTest::readFile(dir.filePath("to/b/a.assets/clash.png")), QByteArray("theirs"));
    QCOMPARE(QDir(dir.filePath("to/b/a.assets")).entryList(QDir::Files).size(), 3);
    // A path up and out that still finds the same file from the new place is fine.
    QVERIFY(carryRelativeImages("![](../shared/up.png)", dir.filePath("from/a.md"), dir.filePath("to/c.md")).isEmpty());
    // Within one folder there is nothing to carry.
    QVERIFY(carryRelativeImages(markdown, dir.filePath("from/a.md"), dir.filePath("from/c.md")).isEmpty());
}

void TestImageStore::sourceModeWritesReadableDestinations()
{
    // What the dialog and a paste write in source mode must read back as the same image.
    QPlainTextEdit editor;
    SourceSurface surface(&editor);
    surface.insertImage("/tmp/my pics/a (1).png");
    QCOMPARE(editor.toPlainText(), QStringLiteral("![图片ALT](</tmp/my pics/a (1).png>)"));
    QVERIFY2(markdownToHtml(editor.toPlainText()).contains("<img src=\"/tmp/my%20pics/a%20(1).png\""),
             qPrintable(markdownToHtml(editor.toPlainText())));
}

void TestImageStore::pastedHtmlGoesThroughMarkdown()
{
    QMimeData data;
    data.setHtml(QStringLiteral("<b>bold</b> text"));
    data.setText(QStringLiteral("bold text"));
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/whatever.png"))});
    const QList<QJsonObject> payloads = insertPayloads(&data, QString()).payloads;
    QCOMPARE(payloads.size(), 1);
    QCOMPARE(payloads.first().keys(), QStringList({"html", "type"}));
    QCOMPARE(payloads.first().value("type").toString(), QStringLiteral("html"));
    // Rendered from Markdown: a paragraph of the renderer, not the clipboard's markup.
    const QString html = payloads.first().value("html").toString();
    QVERIFY2(html.startsWith("<p>") && html.endsWith("</p>\n") && html.contains("bold"), qPrintable(html));
}

void TestImageStore::pastedFilesAndText()
{
    QTemporaryDir dir;
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(dir.filePath("shot 50%.png"), "PNG"));
    QVERIFY(QFile::rename(dir.filePath("shot 50%.png"), dir.filePath("shot 50%.dat"))); // a picture by content only
    touch(dir.filePath("notes.txt"));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("shot 50%.dat")), QUrl(QStringLiteral("https://example.com/remote.png")),
                  QUrl::fromLocalFile(dir.filePath("notes.txt"))});
    data.setText(QStringLiteral("ignored"));
    // A never saved document keeps the files' own paths, even in copy mode.
    Settings::instance().setImageHandling(Settings::ImageHandling::CopyToAssets);
    const QList<QJsonObject> payloads = insertPayloads(&data, QString()).payloads;
    QCOMPARE(payloads.size(), 2);
    QCOMPARE(payloads.at(0), QJsonObject({{"type", "img"}, {"title", "shot 50%.dat"}, {"url", dir.filePath("shot 50%.dat")}}));
    QCOMPARE(payloads.at(1), QJsonObject({{"type", "a"}, {"title", "notes.txt"}, {"url", dir.filePath("notes.txt")}}));

    QMimeData text;
    text.setText(QStringLiteral("<b>not markup</b>\nline two"));
    QCOMPARE(insertPayloads(&text, QString()).payloads, QList<QJsonObject>({{{"text", "<b>not markup</b>\nline two"}, {"type", "text"}}}));

    QMimeData unusable;
    unusable.setData(QStringLiteral("application/octet-stream"), "\x01");
    QVERIFY(insertPayloads(&unusable, QString()).payloads.isEmpty());
}

void TestImageStore::dialogAcceptsAddresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("drive letter") << "C:/pictures/a.png" << true;
    QTest::newRow("backslashes") << "D:\\pictures\\a b.png" << true;
    QTest::newRow("web address") << "see https://example.com/a.png here" << true;
    QTest::newRow("host only") << "https://Example.com" << true;
#ifndef Q_OS_WIN
    QTest::newRow("absolute here") << "/home/me/pic.png" << true;
#endif
    QTest::newRow("relative") << "pictures/a.png" << false;
    QTest::newRow("dot relative") << "./a.png" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no scheme") << "example.com/a.png" << false;
}

void TestImageStore::dialogAcceptsAddresses()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(ImageDialog::isAcceptablePath(text), accepted);
}

void TestImageStore::dialogOk()
{
    QWidget owner;
    auto *dialog = new ImageDialog(&owner);
    QPointer<ImageDialog> alive(dialog);
    QSignalSpy chosen(dialog, &ImageDialog::imageChosen);
    dialog->show();
    QVERIFY(dialog->isWindow());
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);

    dialog->pathEdit()->setText(QStringLiteral("pic.png"));
    dialog->okButton()->click();
    QCOMPARE(chosen.count(), 0);
    QVERIFY(dialog->isVisible());

    dialog->pathEdit()->setText(QStringLiteral("C:/a.png"));
    dialog->okButton()->click();
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.first().first().toString(), QStringLiteral("C:/a.png"));
    QTRY_VERIFY(alive.isNull()); // deleted on close
}

QTEST_MAIN(TestImageStore)
#include "tst_imagestore.moc"
