// Find and replace on the tool bar: source-mode searching and replacing, and what
// the bars send to the page in WYSIWYG mode.

#include "support/guitest.h"

#include "editor/content.h"
#include "editor/findreplacebar.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolBar>
#include <QWebEngineView>
#include <QtTest>

class TestFindReplace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void replaceAllReachesEveryMatch();
    void replaceAllDoesNotLoop();
    void replaceCurrent();
    void barsShowAndHide();
    void typingKeepsTheMatch();
    void findStepsWithoutWrapping();
    void pageModeTalksToThePage();

private:
    void setSource(const QString &text, int cursorAt)
    {
        editor->setPlainText(text);
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(cursorAt);
        editor->setTextCursor(cursor);
    }

    std::unique_ptr<QTemporaryDir> workDir;
    QMainWindow *window = nullptr;
    QStackedWidget *modes = nullptr;
    QPlainTextEdit *editor = nullptr;
    QWebEngineView *view = nullptr;
    Content content;
    FindReplaceBar *bar = nullptr;
};

void TestFindReplace::initTestCase()
{
    workDir = GuiTest::isolate();
    window = new QMainWindow;
    auto *toolBar = window->addToolBar(QStringLiteral("main"));
    modes = new QStackedWidget(window);
    view = new QWebEngineView(modes);
    editor = new QPlainTextEdit(modes);
    modes->addWidget(view);
    modes->addWidget(editor);
    window->setCentralWidget(modes);
    bar = new FindReplaceBar(toolBar, modes, editor, view, &content, window);
    bar->setFindBarVisible(false);
    bar->setReplaceBarVisible(false);
    window->resize(1200, 500);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestFindReplace::cleanupTestCase()
{
    delete window;
}

void TestFindReplace::init()
{
    modes->setCurrentIndex(1);
}

void TestFindReplace::replaceAllReachesEveryMatch()
{
    setSource(QStringLiteral("Cat cat\nCAT dog cat"), 12);
    QCOMPARE(SourceFind::replaceAll(editor, QStringLiteral("cat"), QStringLiteral("ox")), 4);
    QCOMPARE(editor->toPlainText(), QStringLiteral("ox ox\nox dog ox"));

    // One undo step brings everything back.
    editor->undo();
    QCOMPARE(editor->toPlainText(), QStringLiteral("Cat cat\nCAT dog cat"));

    QCOMPARE(SourceFind::replaceAll(editor, QStringLiteral("bird"), QStringLiteral("ox")), 0);
    QCOMPARE(SourceFind::replaceAll(editor, QString(), QStringLiteral("ox")), 0);
    QCOMPARE(editor->toPlainText(), QStringLiteral("Cat cat\nCAT dog cat"));
}

void TestFindReplace::replaceAllDoesNotLoop()
{
    setSource(QStringLiteral("a-a"), 0);
    QCOMPARE(SourceFind::replaceAll(editor, QStringLiteral("a"), QStringLiteral("aA")), 2);
    QCOMPARE(editor->toPlainText(), QStringLiteral("aA-aA"));

    setSource(QStringLiteral("aaaa"), 0);
    QCOMPARE(SourceFind::replaceAll(editor, QStringLiteral("aa"), QString()), 2);
    QCOMPARE(editor->toPlainText(), QString());
}

void TestFindReplace::replaceCurrent()
{
    // No selection: the next match from the cursor is replaced.
    setSource(QStringLiteral("one two one"), 1);
    SourceFind::replaceCurrent(editor, QStringLiteral("ONE"), QStringLiteral("1"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("one two 1"));

    // A selection is replaced even when it is not a match.
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    SourceFind::replaceCurrent(editor, QStringLiteral("one"), QStringLiteral("2"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("one 2 1"));

    // Nothing further: nothing changes.
    SourceFind::replaceCurrent(editor, QStringLiteral("one"), QStringLiteral("x"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("one 2 1"));
}

void TestFindReplace::barsShowAndHide()
{
    setSource(QStringLiteral("alpha beta"), 0);
    bar->showFindBar(QStringLiteral("beta"));
    QTRY_VERIFY(bar->findField()->isVisible() && bar->findNextAction()->isVisible());
    QCOMPARE(window->focusWidget(), bar->findField());
    QVERIFY(!bar->replaceAllAction()->isVisible() && !bar->searchField()->isVisible());
    QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("beta"));

    bar->showReplaceBar(QStringLiteral("alpha"));
    QTRY_VERIFY(bar->searchField()->isVisible() && bar->replacementField()->isVisible());
    QCOMPARE(window->focusWidget(), bar->searchField());
    QVERIFY(!bar->findField()->isVisible() && !bar->findNextAction()->isVisible());

    // The close item is the one after "替换全部".
    QList<QAction *> actions = window->findChildren<QToolBar *>().first()->actions();
    actions.at(actions.indexOf(bar->replaceAllAction()) + 1)->trigger();
    QTRY_VERIFY(!bar->searchField()->isVisible());
    QVERIFY(!bar->replaceOneAction()->isVisible());
}

void TestFindReplace::typingKeepsTheMatch()
{
    setSource(QStringLiteral("xx hello"), 0);
    bar->showFindBar(QString());
    QTest::keyClicks(bar->findField(), QStringLiteral("HEL"));
    QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("hel"));
    QTest::keyClicks(bar->findField(), QStringLiteral("lo"));
    QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("hello"));
    QCOMPARE(editor->textCursor().selectionStart(), 3);

    // No match: the selection stays where it was.
    QTest::keyClicks(bar->findField(), QStringLiteral("!"));
    QCOMPARE(editor->textCursor().selectionStart(), 3);
}

void TestFindReplace::findStepsWithoutWrapping()
{
    setSource(QStringLiteral("ab ab ab"), 4);
    bar->showReplaceBar(QString());
    bar->searchField()->setText(QStringLiteral("ab"));
    QCOMPARE(editor->textCursor().selectionStart(), 6);
    bar->replaceNextAction()->trigger();
    QCOMPARE(editor->textCursor().selectionStart(), 6);
    bar->replacePreviousAction()->trigger();
    QCOMPARE(editor->textCursor().selectionStart(), 3);
    bar->replacePreviousAction()->trigger();
    bar->replacePreviousAction()->trigger();
    QCOMPARE(editor->textCursor().selectionStart(), 0);

    bar->replacementField()->setText(QStringLiteral("c"));
    bar->replaceOneAction()->trigger();
    QCOMPARE(editor->toPlainText(), QStringLiteral("c ab ab"));
    bar->replaceAllAction()->trigger();
    QCOMPARE(editor->toPlainText(), QStringLiteral("c c c"));
}

void TestFindReplace::pageModeTalksToThePage()
{
    modes->setCurrentIndex(0);
    QSignalSpy highlight(&content, &Content::highLightKeyword);
    QSignalSpy replaceOne(&content, &Content::replaceSelectedText);
    QSignalSpy replaceAll(&content, &Content::replaceAllHighText);
    const QString sourceBefore = editor->toPlainText();

    bar->showReplaceBar(QStringLiteral("word"));
    QCOMPARE(highlight.count(), 1);
    QCOMPARE(highlight.last().first().toString(), QStringLiteral("word"));
    // Shown again with the same text: highlighted again.
    bar->showReplaceBar(QStringLiteral("word"));
    QCOMPARE(highlight.count(), 2);

    bar->replacementField()->setText(QStringLiteral("<b>"));
    bar->replaceOneAction()->trigger();
    bar->replaceAllAction()->trigger();
    QCOMPARE(replaceOne.count(), 1);
    QCOMPARE(replaceOne.last().first().toString(), QStringLiteral("<b>"));
    QCOMPARE(replaceAll.count(), 1);
    QCOMPARE(replaceAll.last().first().toString(), QStringLiteral("<b>"));

    bar->searchField()->clear();
    QCOMPARE(highlight.count(), 2);
    QCOMPARE(editor->toPlainText(), sourceBefore);
}

QTEST_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
