#include "editor/findreplacebar.h"

// Placeholder until the bars land.
FindReplaceBar::FindReplaceBar(QToolBar *, QStackedWidget *modes, QPlainTextEdit *editor,
                               QWebEngineView *view, Content *content, QObject *parent)
    : QObject(parent), modes(modes), editor(editor), view(view), content(content) {}
void FindReplaceBar::showFindBar(const QString &) {}
void FindReplaceBar::showReplaceBar(const QString &) {}
void FindReplaceBar::setFindBarVisible(bool) {}
void FindReplaceBar::setReplaceBarVisible(bool) {}
void FindReplaceBar::retranslate() {}
bool FindReplaceBar::sourceMode() const { return false; }
void FindReplaceBar::runScript(const QString &) {}
void SourceFind::replaceCurrent(QPlainTextEdit *, const QString &, const QString &) {}
int SourceFind::replaceAll(QPlainTextEdit *, const QString &, const QString &) { return 0; }
