#include "support/editorpage.h"
#include "support/guitest.h"

#include <QSignalSpy>
#include <QtTest>

class TestWordCount : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void counts_data();
    void counts();
    void countReachesStatusBarSignal();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<EditorPage> editor;
};

void TestWordCount::initTestCase()
{
    dir = GuiTest::isolate();
    editor = std::make_unique<EditorPage>();
    QVERIFY(editor->waitReady());
    // Load the counting function into the page itself, as the fallback does.
    editor->js(QStringLiteral("var s = document.createElement('script'); s.src = 'qrc:/resources/calculate.js';"
                              "document.head.appendChild(s); true"));
    QTRY_VERIFY(editor->js(QStringLiteral("typeof fnGetCpmisWords === 'function'")).toBool());
}

void TestWordCount::counts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("two English words") << QStringLiteral("hello world") << 2;
    QTest::newRow("Chinese, space, English") << QStringLiteral("中文 word") << 3;
    QTest::newRow("Latin run then Chinese") << QStringLiteral("abc中") << 2;
    QTest::newRow("comma joins") << QStringLiteral("a,b") << 1;
    QTest::newRow("lone comma") << QStringLiteral("a , b") << 3;
    QTest::newRow("letter beyond Latin-1") << QStringLiteral("ab\u0142cd") << 3;
    QTest::newRow("emoji") << QString::fromUtf8("\xF0\x9F\x98\x80") << 2;
    QTest::newRow("placeholder not counted") << QStringLiteral("\u9F98") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("no-break and ideographic spaces separate")
        << QStringLiteral("a\u00A0b\u3000c\r\n\r\nd\te") << 5;
    QTest::newRow("full-width punctuation") << QStringLiteral("你好，世界。") << 6;
}

void TestWordCount::counts()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(editor->js(QStringLiteral("fnGetCpmisWords(%1)").arg(EditorPage::jsString(text))).toInt(), count);
}

// Typing in the page counts the body text and hands the number to the program.
void TestWordCount::countReachesStatusBarSignal()
{
    QSignalSpy spy(&editor->content, &Content::showInfoInStatusBarSignal);
    editor->js(QStringLiteral("startWorker('one two 三四'); true"));
    QTRY_VERIFY(!spy.isEmpty());
    QCOMPARE(spy.last().at(0).toString(), QStringLiteral("4"));
    editor->js(QStringLiteral("startWorker('five'); true"));
    QTRY_COMPARE(spy.last().at(0).toString(), QStringLiteral("1"));
    qDebug() << "counted in a worker:" << editor->js(QStringLiteral("!!myWorker && !wordCountInPage")).toBool();
    QVERIFY2(editor->page->errors.isEmpty(), qPrintable(editor->page->errors.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestWordCount)
#include "tst_wordcount.moc"
