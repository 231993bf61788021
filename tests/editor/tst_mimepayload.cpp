// What pasting or dropping sends to the page for each kind of data.

#include "support/guitest.h"

#include "app/appsettings.h"
#include "editor/mimepayload.h"

#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QSettings>
#include <QtTest>

class TestMimePayload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void htmlGoesThroughMarkdown();
    void filesBecomeImagesAndLinks();
    void filesAreCopiedOnceEach();
    void plainText();
    void nothingUsable();

private:
    std::unique_ptr<QTemporaryDir> workDir;
};

void TestMimePayload::initTestCase()
{
    workDir = GuiTest::isolate();
}

void TestMimePayload::cleanup()
{
    appSettings()->remove(QStringLiteral("saveImageType"));
}

void TestMimePayload::htmlGoesThroughMarkdown()
{
    QMimeData data;
    const QString html = QStringLiteral("<b>bold</b> text");
    data.setHtml(html);
    data.setText(QStringLiteral("bold text"));
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/whatever.png"))});

    const QList<QJsonObject> payloads = insertPayloads(&data, QString());
    QCOMPARE(payloads.size(), 1);
    QCOMPARE(payloads.first().value("type").toString(), QStringLiteral("html"));
    QCOMPARE(payloads.first().keys(), QStringList({"html", "type"}));
    // Rendered from Markdown: a paragraph of the renderer, not the clipboard's markup.
    const QString result = payloads.first().value("html").toString();
    QVERIFY2(result.startsWith("<p>") && result.endsWith("</p>\n"), qPrintable(result));
    QVERIFY(result.contains("bold") && result.contains("text"));
}

void TestMimePayload::filesBecomeImagesAndLinks()
{
    QTemporaryDir dir;
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    // Named as text, but a picture by its content.
    QVERIFY(picture.save(dir.filePath("shot 50%.png")));
    QFile::rename(dir.filePath("shot 50%.png"), dir.filePath("shot 50%.dat"));
    QFile notes(dir.filePath("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("plain words\n");
    notes.close();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("shot 50%.dat")), QUrl(QStringLiteral("https://example.com/remote.png")),
                  QUrl::fromLocalFile(dir.filePath("notes.txt"))});
    data.setText(QStringLiteral("ignored"));

    // A never saved document: the files' own paths, even in copy mode.
    appSettings()->setValue(QStringLiteral("saveImageType"), 1);
    const QList<QJsonObject> payloads = insertPayloads(&data, QString());
    QCOMPARE(payloads.size(), 2);
    QCOMPARE(payloads.at(0).value("type").toString(), QStringLiteral("img"));
    QCOMPARE(payloads.at(0).value("title").toString(), QStringLiteral("shot 50%.dat"));
    QCOMPARE(payloads.at(0).value("url").toString(), dir.filePath("shot 50%.dat"));
    QCOMPARE(payloads.at(1).value("type").toString(), QStringLiteral("a"));
    QCOMPARE(payloads.at(1).value("title").toString(), QStringLiteral("notes.txt"));
    QCOMPARE(payloads.at(1).value("url").toString(), dir.filePath("notes.txt"));
}

void TestMimePayload::filesAreCopiedOnceEach()
{
    QTemporaryDir dir;
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QVERIFY(picture.save(dir.filePath("a.png")));
    QVERIFY(picture.save(dir.filePath("b.jpg")));
    appSettings()->setValue(QStringLiteral("saveImageType"), 1);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("a.png")), QUrl::fromLocalFile(dir.filePath("b.jpg"))});
    const QList<QJsonObject> payloads = insertPayloads(&data, dir.filePath("doc.md"));
    QCOMPARE(payloads.size(), 2);
    QCOMPARE(payloads.at(0).value("url").toString(), dir.filePath("doc.assets/a.png"));
    QCOMPARE(payloads.at(1).value("url").toString(), dir.filePath("doc.assets/b.jpg"));
    QCOMPARE(payloads.at(1).value("type").toString(), QStringLiteral("img"));
    QCOMPARE(QDir(dir.filePath("doc.assets")).entryList(QDir::Files).size(), 2);
}

void TestMimePayload::plainText()
{
    QMimeData data;
    data.setText(QStringLiteral("<b>not markup</b>\nline two"));
    const QList<QJsonObject> payloads = insertPayloads(&data, QString());
    QCOMPARE(payloads.size(), 1);
    QCOMPARE(payloads.first(), QJsonObject({{"text", "<b>not markup</b>\nline two"}, {"type", "text"}}));
}

void TestMimePayload::nothingUsable()
{
    QMimeData data;
    data.setData(QStringLiteral("application/octet-stream"), "\x01\x02");
    QVERIFY(insertPayloads(&data, QString()).isEmpty());
    QVERIFY(insertPayloads(nullptr, QString()).isEmpty());

    QMimeData remoteOnly;
    remoteOnly.setUrls({QUrl(QStringLiteral("https://example.com/a.png"))});
    QVERIFY(insertPayloads(&remoteOnly, QString()).isEmpty());
}

QTEST_MAIN(TestMimePayload)
#include "tst_mimepayload.moc"
