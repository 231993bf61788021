// Copying images next to the document, the image dialog's address check and the
// payloads that pasting or dropping sends to the page.

#include "support/guitest.h"

#include "settings/settings.h"
#include "editor/imagedialog.h"
#include "editor/imagestore.h"
#include "editor/mimepayload.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

class TestImageStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void uniqueNames_data();
    void uniqueNames();
    void copiesIntoAssetsFolder();
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
    Settings::instance().setSaveImageType(0);
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

void TestImageStore::copiesIntoAssetsFolder()
{
    QTemporaryDir dir;
    touch(dir.filePath("pic.png"));
    QDir(dir.path()).mkpath("docs/report.assets");
    touch(dir.filePath("docs/report.assets/pic.png"));
    Settings::instance().setSaveImageType(1);

    const QString document = dir.filePath("docs/report.final.md");
    QCOMPARE(storeImage(document, dir.filePath("pic.png")), dir.filePath("docs/report.assets/pic-0000.png"));
    QCOMPARE(storeImage(document, dir.filePath("pic.png")), dir.filePath("docs/report.assets/pic-0001.png"));
    QVERIFY(QFile::exists(dir.filePath("docs/report.assets/pic-0001.png")));

    // A folder that does not exist yet is made.
    const QString other = dir.filePath("new/deeper/x.md");
    QCOMPARE(storeImage(other, dir.filePath("pic.png")), dir.filePath("new/deeper/x.assets/pic.png"));

    // An address cannot be copied: it goes in as it is.
    const QString url = QStringLiteral("https://example.com/images/pic.png");
    QCOMPARE(storeImage(document, url), url);
    QCOMPARE(QDir(dir.filePath("docs/report.assets")).entryList(QDir::Files).size(), 3);

    // A never saved document has nowhere to keep copies; without copy mode nothing is copied.
    QCOMPARE(storeImage(QString(), dir.filePath("pic.png")), dir.filePath("pic.png"));
    Settings::instance().setSaveImageType(2);
    QCOMPARE(storeImage(dir.filePath("other.md"), dir.filePath("pic.png")), dir.filePath("pic.png"));
    Settings::instance().setSaveImageType(0);
    QCOMPARE(storeImage(dir.filePath("other.md"), dir.filePath("pic.png")), dir.filePath("pic.png"));
    QVERIFY(!QDir(dir.filePath("other.assets")).exists());
}

void TestImageStore::pastedHtmlGoesThroughMarkdown()
{
    QMimeData data;
    data.setHtml(QStringLiteral("<b>bold</b> text"));
    data.setText(QStringLiteral("bold text"));
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/whatever.png"))});
    const QList<QJsonObject> payloads = insertPayloads(&data, QString());
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
    Settings::instance().setSaveImageType(1);
    const QList<QJsonObject> payloads = insertPayloads(&data, QString());
    QCOMPARE(payloads.size(), 2);
    QCOMPARE(payloads.at(0), QJsonObject({{"type", "img"}, {"title", "shot 50%.dat"}, {"url", dir.filePath("shot 50%.dat")}}));
    QCOMPARE(payloads.at(1), QJsonObject({{"type", "a"}, {"title", "notes.txt"}, {"url", dir.filePath("notes.txt")}}));

    QMimeData text;
    text.setText(QStringLiteral("<b>not markup</b>\nline two"));
    QCOMPARE(insertPayloads(&text, QString()), QList<QJsonObject>({{{"text", "<b>not markup</b>\nline two"}, {"type", "text"}}}));

    QMimeData unusable;
    unusable.setData(QStringLiteral("application/octet-stream"), "\x01");
    QVERIFY(insertPayloads(&unusable, QString()).isEmpty());
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
