// Round trip of the Markdown corpus through the converter alone: what the
// page would show before a save is what it shows after, and a second save
// changes nothing.

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
    void wholeCorpus();
};

void TestCorpus::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    const QStringList names = Corpus::files();
    QVERIFY(names.size() >= 10);
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
    QCOMPARE(htmlToMarkdown(markdownToHtml(once)), once);
}

void TestCorpus::wholeCorpus()
{
    // The share of documents that come back exactly, for the record.
    int exact = 0;
    const QStringList names = Corpus::files();
    for (const QString &name : names) {
        const QString html = markdownToHtml(Corpus::read(name));
        const QString once = htmlToMarkdown(html);
        if (Corpus::normalizeHtml(markdownToHtml(once)) == Corpus::normalizeHtml(html)
            && htmlToMarkdown(markdownToHtml(once)) == once)
            ++exact;
    }
    qInfo("corpus round trip: %d of %d documents exact", exact, int(names.size()));
    QCOMPARE(exact, int(names.size()));
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
