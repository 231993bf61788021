#ifndef FINDREPLACEBAR_H
#define FINDREPLACEBAR_H

#include <QObject>

class Content;
class QAction;
class QLineEdit;
class QPlainTextEdit;
class QStackedWidget;
class QToolBar;
class QWebEngineView;

// The find bar and the replace bar at the right end of the main tool bar.
// Both work in source mode (on the editor) and in WYSIWYG mode (on the page).
class FindReplaceBar : public QObject
{
    Q_OBJECT

public:
    FindReplaceBar(QToolBar *toolBar, QStackedWidget *modes, QPlainTextEdit *editor,
                   QWebEngineView *view, Content *content, QObject *parent = nullptr);

    // Shows the find bar (hiding the replace bar) with text in the find field.
    void showFindBar(const QString &text);
    // Shows the replace bar (hiding the find bar) with text in the search field.
    void showReplaceBar(const QString &text);
    void setFindBarVisible(bool visible);
    void setReplaceBarVisible(bool visible);
    void retranslate();

    QLineEdit *findField() const { return findEdit; }
    QLineEdit *searchField() const { return searchEdit; }
    QLineEdit *replacementField() const { return replaceEdit; }
    QAction *findPreviousAction() const { return findPrevious; }
    QAction *findNextAction() const { return findNext; }
    QAction *replacePreviousAction() const { return replacePrevious; }
    QAction *replaceNextAction() const { return replaceNext; }
    QAction *replaceOneAction() const { return replaceOne; }
    QAction *replaceAllAction() const { return replaceAll; }

private:
    bool sourceMode() const;
    void runScript(const QString &statement);
    static void putText(QLineEdit *field, const QString &text);
    void focusField(QLineEdit *field);
    void findTextChanged(const QString &text);
    void searchTextChanged(const QString &text);
    void find(const QString &text, bool backward);
    void stepMatch(bool backward);

    QToolBar *toolBar;
    QStackedWidget *modes;
    QPlainTextEdit *editor;
    QWebEngineView *view;
    Content *content;

    QLineEdit *findEdit = nullptr;
    QAction *findEditAction = nullptr;
    QAction *findPrevious = nullptr;
    QAction *findNext = nullptr;
    QAction *findClose = nullptr;
    QLineEdit *searchEdit = nullptr;
    QLineEdit *replaceEdit = nullptr;
    QAction *searchEditAction = nullptr;
    QAction *replaceEditAction = nullptr;
    QAction *replacePrevious = nullptr;
    QAction *replaceNext = nullptr;
    QAction *replaceOne = nullptr;
    QAction *replaceAll = nullptr;
    QAction *replaceClose = nullptr;
};

namespace SourceFind {
// Replaces the editor's selection with replacement, finding the next match of
// search first when nothing is selected.
void replaceCurrent(QPlainTextEdit *editor, const QString &search, const QString &replacement);
// Replaces every match from the start of the document; returns how many.
int replaceAll(QPlainTextEdit *editor, const QString &search, const QString &replacement);
} // namespace SourceFind

#endif // FINDREPLACEBAR_H
