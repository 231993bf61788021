#include "support/consolepage.h"
#include "support/guitest.h"

#include <QSignalSpy>
#include <QtTest>

class TestWordCount : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void workerCountReachesStatusBarSignal();
    void countsInPageWithoutWorkers();
    void counts_data();
    void counts();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ConsolePageHarness> editor;
};

void TestWordCount::initTestCase()
{
    dir = GuiTest::isolate();
    editor = std::make_unique<ConsolePageHarness>();
    QVERIFY(editor->waitReady());
}

// Typing in the page counts the body text in the worker and hands the number
// to the program as text.
void TestWordCount::workerCountReachesStatusBarSignal()
{
    QSignalSpy spy(&editor->content, &Content::showInfoInStatusBarSignal);
    editor->js(QStringLiteral("startWorker('one two \u4e09\u56db'); true"));
    QTRY_VERIFY(!spy.isEmpty());
    QCOMPARE(spy.last().at(0).toString(), QStringLiteral("4"));
    editor->js(QStringLiteral("startWorker('five'); true"));
    QTRY_COMPARE(spy.last().at(0).toString(), QStringLiteral("1"));
    // Counted by the worker: the page itself has not loaded the function.
    QCOMPARE(editor->js(QStringLiteral("typeof fnGetCpmisWords + ':' + !!myWorker + ':' + wordCountInPage")).toString(),
             QStringLiteral("undefined:true:false"));
    QVERIFY2(editor->page->errors.isEmpty(), qPrintable(editor->page->errors.join(QLatin1Char('\n'))));
}

// Where no worker can be made, the same function counts in the page.
void TestWordCount::countsInPageWithoutWorkers()
{
    QSignalSpy spy(&editor->content, &Content::showInfoInStatusBarSignal);
    editor->js(QStringLiteral("myWorker = undefined; window.Worker = undefined; startWorker('a b c'); true"));
    QTRY_VERIFY(!spy.isEmpty());
    QCOMPARE(spy.last().at(0).toString(), QStringLiteral("3"));
    editor->js(QStringLiteral("startWorker('a'); true"));
    QTRY_COMPARE(spy.last().at(0).toString(), QStringLiteral("1"));
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
    // The counting function in the page, loaded as the fallback loads it.
    if (!editor->js(QStringLiteral("typeof fnGetCpmisWords === 'function'")).toBool()) {
        editor->js(QStringLiteral("var s = document.createElement('script'); s.src = 'qrc:/resources/calculate.js';"
                                  "document.head.appendChild(s); true"));
        QTRY_VERIFY(editor->js(QStringLiteral("typeof fnGetCpmisWords === 'function'")).toBool());
    }
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(editor->js(QStringLiteral("fnGetCpmisWords(%1)").arg(ConsolePageHarness::jsString(text))).toInt(), count);
}

QTEST_MAIN(TestWordCount)
#include "tst_wordcount.moc"
