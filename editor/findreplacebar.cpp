#include "editor/findreplacebar.h"

#include "editor/editingsurface.h"

#include <QAction>
#include <QLayout>
#include <QLineEdit>
#include <QToolBar>

FindReplaceBar::FindReplaceBar(QToolBar *toolBar, EditingSurface *surface, QObject *parent)
    : QObject(parent), toolBar(toolBar), surface(surface)
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

void FindReplaceBar::showFindBar()
{
    setReplaceBarVisible(false);
    setFindBarVisible(true);
    const QString text = surface->selectedText();
    putText(findEdit, text);
    surface->findAsTyped(text);
    focusField(findEdit);
}

void FindReplaceBar::showReplaceBar()
{
    setFindBarVisible(false);
    setReplaceBarVisible(true);
    const QString text = surface->selectedText();
    putText(searchEdit, text);
    // Also when the text is unchanged: the page may have dropped its highlights meanwhile.
    surface->markMatches(text);
    focusField(searchEdit);
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
}

void FindReplaceBar::setReplaceBarVisible(bool visible)
{
    for (QAction *action : {searchEditAction, replaceEditAction, replacePrevious, replaceNext,
                            replaceOne, replaceAll, replaceClose})
        action->setVisible(visible);
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
    if (QLayout *layout = toolBar->layout())
        layout->activate();
    field->setFocus();
    field->selectAll();
}
