#include "editor/modeswitch.h"

#include "editor/pagesurface.h"
#include "editor/sourcesurface.h"

#include <QAction>
#include <QPushButton>
#include <QStackedWidget>

namespace {
// The page of the stack that holds widget.
QWidget *stackPageOf(QStackedWidget *stack, QWidget *widget)
{
    while (widget && widget->parentWidget() != stack)
        widget = widget->parentWidget();
    return widget;
}
} // namespace

ModeSwitch::ModeSwitch(QStackedWidget *stack, SourceSurface *source, PageSurface *page, QPushButton *button,
                       QObject *parent)
    : QObject(parent), stack(stack), sourceSurface(source), pageSurface(page), button(button)
{
    button->setCheckable(true);
    show(false);
    connect(button, &QPushButton::toggled, this, &ModeSwitch::setSourceMode);
}

EditingSurface *ModeSwitch::current() const
{
    // Until the page has answered a switch, the document still lives in the page.
    if (isSourceMode() && !awaitingPage)
        return sourceSurface;
    return pageSurface;
}

bool ModeSwitch::isSourceMode() const
{
    return stack->currentWidget() == stackPageOf(stack, sourceSurface->widget());
}

void ModeSwitch::bind(QAction *action, void (EditingSurface::*command)())
{
    connect(action, &QAction::triggered, this, [this, command] { (current()->*command)(); });
}

void ModeSwitch::addPageOnly(QAction *action)
{
    pageOnlyActions.append(action);
    action->setEnabled(!isSourceMode());
}

void ModeSwitch::addPageOnly(QWidget *widget)
{
    pageOnlyWidgets.append(widget);
    widget->setVisible(!isSourceMode());
}

void ModeSwitch::retranslate()
{
    button->setToolTip(isSourceMode() ? tr("切换可见即可得模式") : tr("切换源码模式"));
}

void ModeSwitch::show(bool sourceMode)
{
    const QSignalBlocker blocker(button);
    button->setChecked(sourceMode);
    stack->setCurrentWidget(stackPageOf(stack, sourceMode ? sourceSurface->widget() : pageSurface->widget()));
    button->setText(QString(QChar(sourceMode ? 0xF1EA : 0xF121)));
    retranslate();
    for (QAction *action : qAsConst(pageOnlyActions))
        action->setEnabled(!sourceMode);
    for (QWidget *widget : qAsConst(pageOnlyWidgets))
        widget->setVisible(!sourceMode);
    emit surfaceChanged(current());
}

void ModeSwitch::setSourceMode(bool sourceMode)
{
    if (sourceMode == isSourceMode())
        return;
    if (!sourceMode) {
        // Back before the page answered: the page still holds the document.
        const bool pageHoldsDocument = awaitingPage;
        awaitingPage = false;
        show(false);
        if (!pageHoldsDocument) {
            sourceSurface->markdown([this](bool, const QString &markdown) {
                pageSurface->setMarkdown(markdown);
                handedFill = pageSurface->fills();
            });
        }
        return;
    }
    // The editor shows at once, but commands, saves and backups go to the page
    // until its answer is in the editor.
    const int request = ++pull;
    awaitingPage = true;
    show(true);
    pageSurface->markdown([this, request](bool ok, const QString &markdown) {
        if (request != pull || !awaitingPage)
            return;
        awaitingPage = false;
        if (ok) {
            // Back from the page with the text the editor gave it, unchanged,
            // the editor keeps it, its place and its undo history, and is not
            // laid out again.
            if (pageSurface->fills() != handedFill || sourceSurface->text() != markdown)
                sourceSurface->setMarkdown(markdown);
            emit surfaceChanged(sourceSurface);
            return;
        }
        // Without an answer there is nothing to show: stay where the document
        // is rather than show an empty or stale editor.
        show(false);
        emit switchFailed(tr("编辑页面没有返回内容，无法切换到源码模式"));
    });
}
