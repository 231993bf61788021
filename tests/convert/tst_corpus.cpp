// Round trip of the Markdown corpus through the converter alone: what the
// page would show before a save is what it shows after, and a second save
// changes neither the rendering nor the Markdown.

#include "corpushelpers.h"

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"

#include <QtTest>

class TestCorpus : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
};

void TestCorpus::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    const QStringList names = Corpus::files();
    QVERIFY(names.size() >= 40);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name;
}

void TestCorpus::roundTrip()
{
    QFETCH(QString, name);
    const QString original = Corpus::read(name);
    QVERIFY(!original.isEmpty());
    const QString html = markdownToHtml(original);
    const QString once = htmlToMarkdown(html);
    QCOMPARE(Corpus::normalizeHtml(markdownToHtml(once)), Corpus::normalizeHtml(html));
    // The second save: same rendering, same text.
    const QString twice = htmlToMarkdown(markdownToHtml(once));
    QCOMPARE(Corpus::normalizeHtml(markdownToHtml(twice)), Corpus::normalizeHtml(html));
    QCOMPARE(twice, once);
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
