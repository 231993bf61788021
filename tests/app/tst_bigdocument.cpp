// Large documents in the editing page: shown in slices and moved in pieces,
// yet saved whole; a transfer that fails is never saved or backed up; the
// word count and the modified mark; a long document, laid out only near the
// view, still takes keys where the caret goes and shows its search marks; an
// edit leaves the other blocks' bytes alone at any size and depth.

#include "app/document.h"
#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "support/pagetest.h"

using GuiTest::readFile;
using GuiTest::writeFile;

class TestBigDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void wholeDocumentInPieces();
    void failedTransferIsNeverSaved_data();
    void failedTransferIsNeverSaved();
    void wordCountAndModifiedMark();
    void longDocumentCaretAndMarks();
    void untouchedBlocksKeepTheirBytes_data();
    void untouchedBlocksKeepTheirBytes();

private:
    // Sets markdown through the page surface and waits until all of it is in.
    bool load(const QString &markdown)
    {
        QSignalSpy loaded(&h->surface, &PageSurface::contentLoaded);
        h->surface.setMarkdown(markdown);
        return loaded.wait(60000);
    }
    // The surface's answer to markdown(), once it came.
    bool pageMarkdown(QString *markdown)
    {
        // Held by the answer too: one that comes after the wait gave up lands here.
        struct Answer
        {
            bool answered = false;
            bool ok = false;
            QString text;
        };
        const auto answer = std::make_shared<Answer>();
        h->surface.markdown([answer](bool success, const QString &text) {
            answer->answered = true;
            answer->ok = success;
            answer->text = text;
        });
        if (!GuiTest::waitFor([&] { return answer->answered; }, 60000) || !answer->ok)
            return false;
        *markdown = answer->text;
        return true;
    }

    std::unique_ptr<QTemporaryDir> home;
    std::unique_ptr<PageHarness> h;
};

namespace {

// Many blocks, code blocks among them, and characters outside the basic plane
// so that piece boundaries fall inside surrogate pairs too.
QString generated(int sections)
{
    QString text;
    for (int i = 0; i < sections; ++i) {
        text += QStringLiteral("## Chapter %1\n\nWords \U0001F600 and \U0001F680%2 more.\n\n").arg(i).arg(i % 7);
        if (i % 3 == 0)
            text += QStringLiteral("```python\nprint(%1)\n```\n\n").arg(i);
        if (i % 5 == 0)
            text += QStringLiteral("- one\n- two\n\n");
    }
    return text + QStringLiteral("The very last line.\n");
}

} // namespace

void TestBigDocument::initTestCase()
{
    home = GuiTest::isolate();
    h = std::make_unique<PageHarness>();
    QVERIFY(h->waitReady());
}

void TestBigDocument::init()
{
    PageSurface::setTransferPieceSize(4 << 20);
}

void TestBigDocument::cleanup()
{
    PageSurface::setTransferPieceSize(4 << 20);
}

void TestBigDocument::wholeDocumentInPieces()
{
    const QString markdown = generated(600);
    const QString expected = htmlToMarkdown(markdownToHtml(markdown));
    // Small pieces: the document crosses both ways in hundreds of them.
    PageSurface::setTransferPieceSize(997);

    // Asked for at once, before the page has shown all of it: still all of it.
    QSignalSpy loaded(&h->surface, &PageSurface::contentLoaded);
    h->surface.setMarkdown(markdown);
    QTRY_VERIFY(h->js(QStringLiteral("document.body.textContent.indexOf('Chapter 0') >= 0")).toBool());
    QString early;
    QVERIFY(pageMarkdown(&early));
    QCOMPARE(early, expected);

    QVERIFY(loaded.count() == 1 || loaded.wait(60000));
    QCOMPARE(h->js(QStringLiteral("document.body.lastElementChild.textContent")).toString(),
             QStringLiteral("The very last line."));
    QString late;
    QVERIFY(pageMarkdown(&late));
    QCOMPARE(late, expected);
    QVERIFY(PageHarness::errors().isEmpty());
}

void TestBigDocument::failedTransferIsNeverSaved_data()
{
    QTest::addColumn<int>("pieceSize");
    QTest::addColumn<QString>("fault");
    QTest::newRow("no answer") << (4 << 20) << QStringLiteral("page.html = function () { return undefined; }");
    QTest::newRow("a piece lost") << 500 << QStringLiteral("page.htmlTransferPiece = function () { return null; }");
    QTest::newRow("a piece short") << 500
                                   << QStringLiteral("var whole = page.htmlTransferPiece; page.htmlTransferPiece = function (i, f, n) {"
                                                     " return f > 1000 ? '' : whole(i, f, n); }");
    QTest::newRow("load arrived broken") << (4 << 20) << QStringLiteral("page.setHtml(undefined)");
}

void TestBigDocument::failedTransferIsNeverSaved()
{
    QFETCH(int, pieceSize);
    QFETCH(QString, fault);
    QDir(BackupStore::defaultDir()).removeRecursively();
    const QByteArray original = generated(40).toUtf8();
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("manual.md"));
    QVERIFY(writeFile(path, original));
    Document document(&h->surface);
    QStringList failures;
    connect(&document, &Document::failed, this, [&failures](const QString &reason) { failures << reason; });
    QSignalSpy loaded(&h->surface, &PageSurface::contentLoaded);
    QVERIFY(document.open(path));
    QVERIFY(loaded.wait(30000));

    // A good backup of the unsaved work first.
    PageSurface::setTransferPieceSize(pieceSize);
    document.setModified(true);
    document.backupTick();
    QTRY_VERIFY(QFileInfo::exists(document.backupPath()));
    QTRY_VERIFY(!h->surface.isBusy());
    const QByteArray backup = readFile(document.backupPath());
    QVERIFY(backup.contains("The very last line."));

    h->js(QStringLiteral("window.kept = [page.html, page.htmlTransferPiece]; ") + fault + QStringLiteral("; true"));
    document.markChanged();
    document.backupTick();
    QTRY_VERIFY(!h->surface.isBusy());
    document.save();
    QTRY_COMPARE(failures.size(), 1);
    QVERIFY(failures.first().startsWith(QStringLiteral("不能保存文件 ")));
    QTRY_VERIFY(!h->surface.isBusy());
    QVERIFY(document.isModified());
    QCOMPARE(readFile(path), original);
    QCOMPARE(readFile(document.backupPath()), backup);

    // The page gets its functions back for the next row.
    h->js(QStringLiteral("page.html = kept[0]; page.htmlTransferPiece = kept[1]; true"));
    document.setModified(false);
    document.backupTick(); // an unmodified document drops its backup
}

void TestBigDocument::wordCountAndModifiedMark()
{
    QSignalSpy counted(&h->bridge(), &PageBridge::wordCountChanged);
    QSignalSpy modified(&h->bridge(), &PageBridge::documentEdited);
    // Counted on load, without a key: "alpha beta", "gamma", the code "x = 1".
    QVERIFY(load(QStringLiteral("alpha beta\n\n```python\nx = 1\n```\n\ngamma\n")));
    QTRY_VERIFY(!counted.isEmpty());
    QCOMPARE(counted.last().first().toString(), QStringLiteral("6"));
    QCOMPARE(modified.count(), 0);

    // A focused code block shows its language selector: its options are no text.
    h->view.activateWindow();
    h->view.focusProxy()->setFocus();
    QTRY_VERIFY(h->view.focusProxy()->hasFocus());
    h->js(QStringLiteral("modules.codeblocks.activateCodeBlock(document.querySelector('pre.veltrane-code')).focus(); true"));
    QTRY_VERIFY(h->js(QStringLiteral("document.querySelector('select.code-language').options.length > 5")).toBool());
    counted.clear();
    QTest::keyClick(h->view.focusProxy(), Qt::Key_Y);
    // The mark comes with the key; the count follows.
    QTRY_COMPARE(modified.count(), 1);
    QTRY_VERIFY(!counted.isEmpty());
    QCOMPARE(counted.last().first().toString(), QStringLiteral("6"));
    QVERIFY(h->js(QStringLiteral("document.querySelector('.CodeMirror').CodeMirror.getValue()")).toString().contains(
        QLatin1Char('y')));

    // Another document (a switch back from source mode sets one): its own
    // count; an empty one too.
    for (const auto &pair : {qMakePair(QStringLiteral("one two three four\n"), QStringLiteral("4")),
                             qMakePair(QString(), QStringLiteral("0"))}) {
        counted.clear();
        QVERIFY(load(pair.first));
        QTRY_VERIFY(!counted.isEmpty());
        QCOMPARE(counted.last().first().toString(), pair.second);
    }
}

void TestBigDocument::longDocumentCaretAndMarks()
{
    QVERIFY(load(generated(1200)));
    const QString isLong = QStringLiteral("document.documentElement.classList.contains('veltrane-long')");
    QVERIFY(h->js(isLong).toBool());
    h->view.activateWindow();
    QWidget *keys = h->view.focusProxy();
    keys->setFocus();
    QTRY_VERIFY(keys->hasFocus());
    h->js(QStringLiteral("document.body.focus(); getSelection().collapse(document.body.firstElementChild.firstChild, 2); true"));

    // Ctrl+End and Ctrl+Home reach blocks far from the view: every key goes
    // there, in order.
    QTest::keyClick(keys, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(keys, QStringLiteral("END"));
    QTest::keyClick(keys, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(keys, QStringLiteral("HOME"));
    QTRY_COMPARE(h->js(QStringLiteral("document.body.lastElementChild.textContent")).toString(),
                 QStringLiteral("The very last line.END"));
    QTRY_COMPARE(h->js(QStringLiteral("document.body.firstElementChild.textContent")).toString(),
                 QStringLiteral("HOMEChapter 0"));

    // The engine's find reaches text far from the view and shows it.
    const QString shown = QStringLiteral("(function () { var found = Array.prototype.filter.call(document.body.children,"
                                         " function (b) { return b.textContent === '%1'; })[0].getBoundingClientRect();"
                                         " return found.height > 0 && found.top >= 0 && found.bottom <= innerHeight; })()");
    h->surface.find(QStringLiteral("Chapter 900"), false);
    QTRY_VERIFY(h->js(shown.arg(QStringLiteral("Chapter 900"))).toBool());
    // Back in the page, far blocks are left out of the layout again.
    h->js(QStringLiteral("document.body.blur(); document.body.focus(); true"));
    QTRY_VERIFY(h->js(isLong).toBool());

    // A match of the page's own search far down is scrolled to and marked where it shows.
    h->js(QStringLiteral("page.markMatches('Chapter 1100'); page.stepMatch(false); true"));
    QVERIFY(h->js(QStringLiteral("(function () { var marked = modules.search.marked();"
                                 " var match = marked.matches[marked.current].getBoundingClientRect();"
                                 " var mark = document.querySelector('.search-select').getBoundingClientRect();"
                                 " return match.height > 0 && match.top >= 0 && match.bottom <= innerHeight"
                                 " && mark.top === match.top && mark.width === match.width; })()")).toBool());
    h->js(QStringLiteral("page.clearMatches(); true"));
    QVERIFY(h->js(isLong).toBool());
    QVERIFY(PageHarness::errors().isEmpty());
}

void TestBigDocument::untouchedBlocksKeepTheirBytes_data()
{
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("pieceSize");
    // The page writes the document's own HTML its way ("class=x" quoted).
    const QString wrapped = QStringLiteral("Paragraph wrapped\nby  hand *here* <span class=x>raw</span>.\n\n* one\n* two\n\n");
    QTest::newRow("in small pieces") << wrapped.repeated(40) << 997;
    // Long paragraphs: as many bytes in fewer blocks fill the page sooner.
    const QString large = QStringLiteral("Words of a long paragraph,\nwrapped  by hand. ").repeated(40) + wrapped;
    QTest::newRow("eight megabytes") << large.repeated((8 << 20) / large.size() + 1) << (4 << 20);
    // The page nests 512 deep; the deeper, the slower its layout.
    QTest::newRow("a quote deeper than the page") << QStringLiteral("> ").repeated(1000) + QStringLiteral("deep\n") << (4 << 20);
    QTest::newRow("a list deeper than the page") << QStringLiteral("- ").repeated(1000) + QStringLiteral("deep\n") << (4 << 20);
}

// One word changed in the last paragraph: the save writes that line anew and
// every other byte as it was.
void TestBigDocument::untouchedBlocksKeepTheirBytes()
{
    QFETCH(QString, kept);
    QFETCH(int, pieceSize);
    PageSurface::setTransferPieceSize(pieceSize);
    const QString markdown = kept + QStringLiteral("\nThe very last line.\n");
    QVERIFY(load(markdown));
    h->js(QStringLiteral("document.body.lastElementChild.firstChild.data = 'The very first line.'; true"));
    QString saved;
    QVERIFY(pageMarkdown(&saved));
    QCOMPARE(saved.size(), markdown.size() + 1);
    QCOMPARE(saved, kept + QStringLiteral("\nThe very first line.\n"));
}

QTEST_MAIN(TestBigDocument)
#include "tst_bigdocument.moc"
