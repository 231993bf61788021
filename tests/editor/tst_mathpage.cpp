// Front matter, formulas and diagrams in the real editing page: each shows as
// it should, is edited there, saved through the page surface as the editor
// saves, and comes back the same when the saved text is opened again.

#include "support/pagetest.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const char *document = "---\n"
                       "title: \"Notes <1>\"\n"
                       "tags: [a, b]\n"
                       "---\n"
                       "\n"
                       "Let $\\alpha_{i}^{2}$ and $x*y*z$ be, at $5 and $10 each.\n"
                       "\n"
                       "$$\n"
                       "\\begin{pmatrix}\n"
                       "  a & b \\\\\n"
                       "  c & d\n"
                       "\\end{pmatrix}\n"
                       "$$\n"
                       "\n"
                       "```mermaid\n"
                       "graph TD\n"
                       "  A[Text] --> B{Editor}\n"
                       "```\n"
                       "\n"
                       "Last words.\n";

} // namespace

class TestMathPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void unchangedDocumentSavesItsBytes();
    void frontMatterShowsFoldsAndSaves();
    void formulaRendersAndEditsInPlace();
    void texErrorShowsInPlace();
    void diagramDrawsUnderItsCode();
    void neighbourEditLeavesThemAlone();

private:
    bool load(const QString &markdown)
    {
        QSignalSpy loaded(&h->surface, &PageSurface::contentLoaded);
        h->surface.setMarkdown(markdown);
        return loaded.wait(30000);
    }
    QString saved()
    {
        bool answered = false;
        QString markdown;
        h->surface.markdown([&](bool, const QString &text) {
            answered = true;
            markdown = text;
        });
        return GuiTest::waitFor([&] { return answered; }, 30000) ? markdown : QStringLiteral("<no answer>");
    }
    bool js(const QString &script) { return h->js(script).toBool(); }

    std::unique_ptr<QTemporaryDir> home;
    std::unique_ptr<PageHarness> h;
};

void TestMathPage::initTestCase()
{
    home = GuiTest::isolate();
    h = std::make_unique<PageHarness>();
    QVERIFY(h->waitReady());
}

void TestMathPage::unchangedDocumentSavesItsBytes()
{
    const QString text = QString::fromUtf8(document);
    QVERIFY(load(text));
    // Rendered: the formulas by KaTeX, the diagram by mermaid.
    QTRY_VERIFY(js(QStringLiteral("document.querySelectorAll('x-equation .katex').length === 3")));
    QTRY_VERIFY(js(QStringLiteral("!!document.querySelector('pre.veltrane-code .veltrane-diagram svg')")));
    QCOMPARE(h->text(QStringLiteral("document.body.firstElementChild.getAttribute('data-veltrane-title')")),
             QStringLiteral("Notes <1>"));
    // The prices stay text; the metadata is no heading and no rule.
    QVERIFY(js(QStringLiteral("document.body.textContent.indexOf('$5 and $10 each') >= 0")));
    QVERIFY(js(QStringLiteral("!document.querySelector('h2, hr')")));
    QCOMPARE(saved(), text);
    // Neither metadata nor formulas nor drawings count as words.
    const QString words = h->text(QStringLiteral(
        "String(modules.wordcount.countWords('Let and be, at $5 and $10 each. graph TD A[Text] --> B{Editor} Last words.'))"));
    QSignalSpy counted(&h->surface, &PageSurface::wordCountChanged);
    h->js(QStringLiteral("modules.wordcount.countNow(); true"));
    QTRY_VERIFY(!counted.isEmpty() && counted.last().at(0).toString() == words);
}

void TestMathPage::frontMatterShowsFoldsAndSaves()
{
    QVERIFY(load(QString::fromUtf8(document)));
    const QString pre = QStringLiteral("document.querySelector('pre[data-front-matter]')");
    QTRY_VERIFY(js(pre + QStringLiteral(".veltraneBlock.mode.indexOf('yaml') >= 0")));
    // A press on its heading line folds it to that line, another unfolds it.
    const QString press = QStringLiteral("(function () { var r = %1.getBoundingClientRect();"
                                         " %1.dispatchEvent(new MouseEvent('mousedown', { bubbles: true, button: 0,"
                                         " clientX: r.left + 20, clientY: r.top + 4 })); })(); true").arg(pre);
    h->js(press);
    QVERIFY(js(pre + QStringLiteral(".classList.contains('veltrane-folded')")));
    QVERIFY(js(pre + QStringLiteral(".firstElementChild.getBoundingClientRect().height === 0")));
    h->js(press);
    QVERIFY(js(QStringLiteral("!") + pre + QStringLiteral(".classList.contains('veltrane-folded')")));

    // Edited like a code block: only the metadata changes in the saved text.
    QVERIFY(js(QStringLiteral("var e = modules.codeentry.enterCodeBlock(%1, 0, true); e.replaceRange('\\ndraft: true',"
                              " { line: 1, ch: 12 }); true").arg(pre)));
    QString expected = QString::fromUtf8(document);
    expected.replace(QStringLiteral("tags: [a, b]\n"), QStringLiteral("tags: [a, b]\ndraft: true\n"));
    QCOMPARE(saved(), expected);
    // Opened again, it is the metadata again.
    QVERIFY(load(expected));
    QTRY_VERIFY(js(pre + QStringLiteral(".veltraneBlock.text.indexOf('draft: true') > 0")));
    QCOMPARE(saved(), expected);
}

void TestMathPage::formulaRendersAndEditsInPlace()
{
    QVERIFY(load(QString::fromUtf8(document)));
    QTRY_VERIFY(js(QStringLiteral("document.querySelectorAll('x-equation .katex').length === 3")));
    // A click opens the first formula's source, where the caret is.
    h->js(QStringLiteral("document.querySelector('x-equation').click(); true"));
    QCOMPARE(h->text(QStringLiteral("document.querySelector('x-equation').textContent")),
             QStringLiteral("\\alpha_{i}^{2}"));
    QVERIFY(js(QStringLiteral("document.querySelector('x-equation').contains(getSelection().anchorNode)")));
    // Typed into (the browser's own insertion), then left: rendered again.
    h->js(QStringLiteral("document.execCommand('insertText', false, '+1'); true"));
    h->select(QStringLiteral("p:last-child"), 0);
    QTRY_VERIFY(js(QStringLiteral("!!document.querySelector('x-equation .katex')"
                                  " && document.querySelector('x-equation').getAttribute('contenteditable') === 'false'")));
    // Only that formula changes in the saved text.
    QString expected = QString::fromUtf8(document);
    expected.replace(QStringLiteral("$\\alpha_{i}^{2}$"), QStringLiteral("$\\alpha_{i}^{2}+1$"));
    QCOMPARE(saved(), expected);

    // The arrow key moving the caret into a formula opens it too.
    h->js(QStringLiteral("var t = document.querySelectorAll('x-equation')[1].previousSibling;"
                         " getSelection().collapse(t, t.length); true"));
    h->js(QStringLiteral("document.dispatchEvent(new KeyboardEvent('keydown', { key: 'ArrowRight', bubbles: true })); true"));
    QCOMPARE(h->text(QStringLiteral("document.querySelectorAll('x-equation')[1].textContent")), QStringLiteral("x*y*z"));
    h->select(QStringLiteral("p:last-child"), 0);

    QVERIFY(load(expected));
    QCOMPARE(saved(), expected);
}

void TestMathPage::texErrorShowsInPlace()
{
    QVERIFY(load(QStringLiteral("Bad $\\frac{1}{$ here.\n")));
    QTRY_VERIFY(js(QStringLiteral("document.querySelector('x-equation').classList.contains('veltrane-math-error')")));
    QVERIFY(h->text(QStringLiteral("document.querySelector('x-equation code').textContent")) == QStringLiteral("\\frac{1}{"));
    QVERIFY(!h->text(QStringLiteral("document.querySelector('.veltrane-math-reason').textContent")).isEmpty());
    QCOMPARE(saved(), QStringLiteral("Bad $\\frac{1}{$ here.\n"));
}

void TestMathPage::diagramDrawsUnderItsCode()
{
    QVERIFY(load(QString::fromUtf8(document)));
    const QString pre = QStringLiteral("document.querySelector('pre.veltrane-code:not([data-front-matter])')");
    QTRY_VERIFY(js(QStringLiteral("!!") + pre + QStringLiteral(".querySelector('.veltrane-diagram svg')")));
    // Edited: the editor keeps the drawing under it, and draws the new code.
    QVERIFY(js(QStringLiteral("var e = modules.codeentry.enterCodeBlock(%1, -1, true);"
                              " e.replaceRange('\\n  B-->Cxyz', { line: 1, ch: 24 }); true").arg(pre)));
    QTRY_VERIFY(js(QStringLiteral("!!") + pre + QStringLiteral(".querySelector('.veltrane-diagram svg')"
                                        " && document.querySelector('.veltrane-diagram').textContent.indexOf('Cxyz') >= 0")));
    QString expected = QString::fromUtf8(document);
    expected.replace(QStringLiteral("  A[Text] --> B{Editor}\n"), QStringLiteral("  A[Text] --> B{Editor}\n  B-->Cxyz\n"));
    QCOMPARE(saved(), expected);
    // A syntax error shows, not a blank.
    QVERIFY(js(QStringLiteral("%1.veltraneBlock.editor.setValue('graph TD\\n  A-->'); true").arg(pre)));
    QTRY_VERIFY(js(QStringLiteral("document.querySelector('.veltrane-diagram-error')"
                                  " && document.querySelector('.veltrane-diagram-error').textContent.length > 0")));
    QVERIFY(load(expected));
    QCOMPARE(saved(), expected);
}

void TestMathPage::neighbourEditLeavesThemAlone()
{
    QVERIFY(load(QString::fromUtf8(document)));
    QTRY_VERIFY(js(QStringLiteral("document.querySelectorAll('x-equation .katex').length === 3")));
    h->js(QStringLiteral("document.querySelector('p:last-child').textContent = 'Other words.'; true"));
    QString expected = QString::fromUtf8(document);
    expected.replace(QStringLiteral("Last words."), QStringLiteral("Other words."));
    QCOMPARE(saved(), expected);
}

QTEST_MAIN(TestMathPage)
#include "tst_mathpage.moc"
