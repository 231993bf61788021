#include "editor/findreplacebar.h"

#include "editor/content.h"

#include <QAction>
#include <QCoreApplication>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
// The bars are part of the main window, so their texts live in its catalogue context.
QString windowText(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

// Searches from the start of the current selection, so that typing more of a word
// keeps the match that is already selected instead of jumping past it.
void findFromSelectionStart(QPlainTextEdit *editor, const QString &text)
{
    QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection()) {
        const int start = cursor.selectionStart();
        cursor.setPosition(start);
        editor->setTextCursor(cursor);
        if (!editor->find(text)) {
            // Nothing from here on: keep what was selected rather than losing it.
            cursor.setPosition(start);
            editor->setTextCursor(cursor);
        }
        return;
    }
    editor->find(text);
}
} // namespace

FindReplaceBar::FindReplaceBar(QToolBar *toolBar, QStackedWidget *modes, QPlainTextEdit *editor,
                               QWebEngineView *view, Content *content, QObject *parent)
    : QObject(parent), toolBar(toolBar), modes(modes), editor(editor), view(view), content(content)
{
    QWidget *owner = toolBar->window();

    findEdit = new QLineEdit(owner);
    findEdit->setMaximumWidth(150);
    findEditAction = toolBar->addWidget(findEdit);
    findPrevious = new QAction(owner);
    findNext = new QAction(owner);
    findClose = new QAction(QStringLiteral("x"), owner);
    toolBar->addAction(findPrevious);
    toolBar->addAction(findNext);
    toolBar->addAction(findClose);

    searchEdit = new QLineEdit(owner);
    searchEdit->setMaximumWidth(150);
    searchEditAction = toolBar->addWidget(searchEdit);
    replaceEdit = new QLineEdit(owner);
    replaceEdit->setMaximumWidth(150);
    replaceEditAction = toolBar->addWidget(replaceEdit);
    replacePrevious = new QAction(owner);
    replaceNext = new QAction(owner);
    replaceOne = new QAction(owner);
    replaceAll = new QAction(owner);
    replaceClose = new QAction(QStringLiteral("x"), owner);
    toolBar->addAction(replacePrevious);
    toolBar->addAction(replaceNext);
    toolBar->addAction(replaceOne);
    toolBar->addAction(replaceAll);
    toolBar->addAction(replaceClose);

    retranslate();

    connect(findEdit, &QLineEdit::textChanged, this, &FindReplaceBar::findTextChanged);
    connect(findEdit, &QLineEdit::returnPressed, findNext, &QAction::trigger);
    connect(findPrevious, &QAction::triggered, this, [this] { find(findEdit->text(), true); });
    connect(findNext, &QAction::triggered, this, [this] { find(findEdit->text(), false); });
    connect(findClose, &QAction::triggered, this, [this] { setFindBarVisible(false); });

    connect(searchEdit, &QLineEdit::textChanged, this, &FindReplaceBar::searchTextChanged);
    connect(searchEdit, &QLineEdit::returnPressed, replaceNext, &QAction::trigger);
    connect(replacePrevious, &QAction::triggered, this, [this] { stepMatch(true); });
    connect(replaceNext, &QAction::triggered, this, [this] { stepMatch(false); });
    connect(replaceOne, &QAction::triggered, this, [this] {
        if (sourceMode())
            SourceFind::replaceCurrent(this->editor, searchEdit->text(), replaceEdit->text());
        else
            emit this->content->replaceSelectedText(replaceEdit->text());
    });
    connect(replaceAll, &QAction::triggered, this, [this] {
        if (sourceMode())
            SourceFind::replaceAll(this->editor, searchEdit->text(), replaceEdit->text());
        else
            emit this->content->replaceAllHighText(replaceEdit->text());
    });
    connect(replaceClose, &QAction::triggered, this, [this] {
        setReplaceBarVisible(false);
        runScript(QStringLiteral("clearHighLight()"));
    });
}

void FindReplaceBar::showFindBar(const QString &text)
{
    setReplaceBarVisible(false);
    setFindBarVisible(true);
    putText(findEdit, text);
    findTextChanged(text);
    focusField(findEdit);
}

void FindReplaceBar::showReplaceBar(const QString &text)
{
    setFindBarVisible(false);
    setReplaceBarVisible(true);
    putText(searchEdit, text);
    // Also when the text is unchanged: the page may have dropped its highlights meanwhile.
    searchTextChanged(text);
    focusField(searchEdit);
}

void FindReplaceBar::setFindBarVisible(bool visible)
{
    for (QAction *action : {findEditAction, findPrevious, findNext, findClose})
        action->setVisible(visible);
}

void FindReplaceBar::setReplaceBarVisible(bool visible)
{
    for (QAction *action : {searchEditAction, replaceEditAction, replacePrevious, replaceNext,
                            replaceOne, replaceAll, replaceClose})
        action->setVisible(visible);
}

void FindReplaceBar::retranslate()
{
    findEdit->setPlaceholderText(windowText("查找内容"));
    searchEdit->setPlaceholderText(windowText("查找内容"));
    replaceEdit->setPlaceholderText(windowText("替换为"));
    findPrevious->setText(windowText("查找上一个"));
    findNext->setText(windowText("查找下一个"));
    replacePrevious->setText(windowText("上一个"));
    replaceNext->setText(windowText("下一个"));
    replaceOne->setText(windowText("替换"));
    replaceAll->setText(windowText("替换全部"));
}

bool FindReplaceBar::sourceMode() const
{
    return modes->currentIndex() == 1;
}

void FindReplaceBar::runScript(const QString &statement)
{
    view->page()->runJavaScript(statement);
}

void FindReplaceBar::putText(QLineEdit *field, const QString &text)
{
    const QSignalBlocker blocker(field);
    field->setText(text);
}

void FindReplaceBar::focusField(QLineEdit *field)
{
    // The tool bar shows a field only when it lays itself out; do that now so
    // that the field can take the focus.
    if (QLayout *layout = toolBar->layout())
        layout->activate();
    field->setFocus();
    field->selectAll();
}

void FindReplaceBar::findTextChanged(const QString &text)
{
    if (sourceMode())
        findFromSelectionStart(editor, text);
    else
        view->findText(text);
}

void FindReplaceBar::searchTextChanged(const QString &text)
{
    if (sourceMode())
        findFromSelectionStart(editor, text);
    else if (text.isEmpty())
        runScript(QStringLiteral("clearHighLight()"));
    else
        emit content->highLightKeyword(text);
}

void FindReplaceBar::find(const QString &text, bool backward)
{
    if (sourceMode())
        editor->find(text, backward ? QTextDocument::FindBackward : QTextDocument::FindFlags());
    else
        view->findText(text, backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

void FindReplaceBar::stepMatch(bool backward)
{
    if (sourceMode())
        find(searchEdit->text(), backward);
    else
        runScript(backward ? QStringLiteral("selectedText(true)") : QStringLiteral("selectedText(false)"));
}

void SourceFind::replaceCurrent(QPlainTextEdit *editor, const QString &search, const QString &replacement)
{
    if (!editor->textCursor().hasSelection() && !search.isEmpty())
        editor->find(search);
    QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection()) {
        cursor.insertText(replacement);
        editor->setTextCursor(cursor);
    }
}

int SourceFind::replaceAll(QPlainTextEdit *editor, const QString &search, const QString &replacement)
{
    if (search.isEmpty())
        return 0;
    QTextDocument *document = editor->document();
    QTextCursor group(document);
    group.beginEditBlock(); // one undo step for the whole run
    int count = 0;
    QTextCursor position(document);
    QTextCursor last;
    forever {
        QTextCursor found = document->find(search, position);
        if (found.isNull())
            break;
        // The next search starts after the inserted text, so a replacement that
        // contains the search text is never matched again.
        found.insertText(replacement);
        position = found;
        last = found;
        ++count;
    }
    group.endEditBlock();
    if (!last.isNull())
        editor->setTextCursor(last);
    return count;
}
