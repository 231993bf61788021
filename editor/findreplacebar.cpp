#include "editor/findreplacebar.h"

#include "editor/editingsurface.h"

#include <QAction>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QToolBar>

namespace {
const int kFieldMinWidth = 160;
const int kFieldMaxWidth = 320;

QLineEdit *newField(QWidget *owner)
{
    auto *field = new QLineEdit(owner);
    field->setMinimumWidth(kFieldMinWidth);
    field->setMaximumWidth(kFieldMaxWidth);
    return field;
}
} // namespace

FindReplaceBar::FindReplaceBar(QToolBar *mainToolBar, EditingSurface *surface, QObject *parent)
    : QObject(parent), surface(surface)
{
    QWidget *owner = mainToolBar->window();
    // The bars get a row of their own under the main tool bar: at the end of
    // it they were pushed into its overflow menu.
    toolBar = new QToolBar(owner);
    toolBar->setObjectName(QStringLiteral("findReplaceToolBar"));
    toolBar->setMovable(false);
    toolBar->toggleViewAction()->setVisible(false);
    if (auto *window = qobject_cast<QMainWindow *>(owner)) {
        window->addToolBarBreak(window->toolBarArea(mainToolBar));
        window->addToolBar(window->toolBarArea(mainToolBar), toolBar);
    }

    findEdit = newField(owner);
    findEditAction = toolBar->addWidget(findEdit);
    findPrevious = new QAction(owner);
    findNext = new QAction(owner);
    findClose = new QAction(QStringLiteral("x"), owner);
    toolBar->addAction(findPrevious);
    toolBar->addAction(findNext);
    toolBar->addAction(findClose);

    searchEdit = newField(owner);
    searchEditAction = toolBar->addWidget(searchEdit);
    replaceEdit = newField(owner);
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
    hideBars();

    // Every item acts on the surface in use at the moment it is used.
    connect(findEdit, &QLineEdit::textChanged, this, [this](const QString &text) { this->surface->findAsTyped(text); });
    connect(findEdit, &QLineEdit::returnPressed, findNext, &QAction::trigger);
    connect(findPrevious, &QAction::triggered, this, [this] { this->surface->find(findEdit->text(), true); });
    connect(findNext, &QAction::triggered, this, [this] { this->surface->find(findEdit->text(), false); });
    connect(findClose, &QAction::triggered, this, [this] { setFindBarVisible(false); });

    connect(searchEdit, &QLineEdit::textChanged, this, [this](const QString &text) { this->surface->markMatches(text); });
    connect(searchEdit, &QLineEdit::returnPressed, replaceNext, &QAction::trigger);
    connect(replacePrevious, &QAction::triggered, this, [this] { this->surface->stepMatch(searchEdit->text(), true); });
    connect(replaceNext, &QAction::triggered, this, [this] { this->surface->stepMatch(searchEdit->text(), false); });
    connect(replaceOne, &QAction::triggered, this,
            [this] { this->surface->replaceMatch(searchEdit->text(), replaceEdit->text()); });
    connect(replaceAll, &QAction::triggered, this,
            [this] { this->surface->replaceAllMatches(searchEdit->text(), replaceEdit->text()); });
    connect(replaceClose, &QAction::triggered, this, [this] {
        setReplaceBarVisible(false);
        this->surface->clearMatches();
    });
}

void FindReplaceBar::setSurface(EditingSurface *surface)
{
    this->surface = surface;
}

// The new bar's field takes the focus before the other bar goes: a hidden
// field would hand the focus on to the page, which closes both bars.
void FindReplaceBar::showFindBar()
{
    const QString text = surface->selectedText();
    putText(findEdit, text);
    setFindBarVisible(true);
    focusField(findEdit);
    if (searchEditAction->isVisible()) {
        setReplaceBarVisible(false);
        surface->clearMatches();
    }
    surface->findAsTyped(text);
}

void FindReplaceBar::showReplaceBar()
{
    const QString text = surface->selectedText();
    putText(searchEdit, text);
    setReplaceBarVisible(true);
    focusField(searchEdit);
    setFindBarVisible(false);
    // Also when the text is unchanged: the page may have dropped its highlights meanwhile.
    surface->markMatches(text);
}

void FindReplaceBar::hideBars()
{
    setFindBarVisible(false);
    setReplaceBarVisible(false);
}

void FindReplaceBar::setFindBarVisible(bool visible)
{
    for (QAction *action : {findEditAction, findPrevious, findNext, findClose})
        action->setVisible(visible);
    updateToolBar();
}

void FindReplaceBar::setReplaceBarVisible(bool visible)
{
    for (QAction *action : {searchEditAction, replaceEditAction, replacePrevious, replaceNext,
                            replaceOne, replaceAll, replaceClose})
        action->setVisible(visible);
    updateToolBar();
}

void FindReplaceBar::updateToolBar()
{
    toolBar->setVisible(findEditAction->isVisible() || searchEditAction->isVisible());
    // The tool bar shows and hides its items when it lays itself out.
    if (QLayout *layout = toolBar->layout())
        layout->activate();
}

void FindReplaceBar::retranslate()
{
    findEdit->setPlaceholderText(tr("查找内容"));
    searchEdit->setPlaceholderText(tr("查找内容"));
    replaceEdit->setPlaceholderText(tr("替换为"));
    findPrevious->setText(tr("查找上一个"));
    findNext->setText(tr("查找下一个"));
    replacePrevious->setText(tr("上一个"));
    replaceNext->setText(tr("下一个"));
    replaceOne->setText(tr("替换"));
    replaceAll->setText(tr("替换全部"));
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
    if (QWidget *window = toolBar->window())
        if (QLayout *layout = window->layout())
            layout->activate();
    if (QLayout *layout = toolBar->layout())
        layout->activate();
    field->setFocus();
    field->selectAll();
}
