#ifndef MODESWITCH_H
#define MODESWITCH_H

#include "editor/editingsurface.h"

#include <QList>

class PageSurface;
class QAction;
class QPushButton;
class QStackedWidget;
class SourceSurface;

// The two editing surfaces over one document and which of them is in use:
// the editing page (WYSIWYG mode, the start) or the Markdown source. Commands
// go to the surface in use; a switch carries the document over.
class ModeSwitch : public QObject
{
    Q_OBJECT

public:
    // stack shows the page's view and the source editor; button is the status
    // bar's mode button, checked in source mode.
    ModeSwitch(QStackedWidget *stack, SourceSurface *source, PageSurface *page, QPushButton *button,
               QObject *parent = nullptr);

    EditingSurface *current() const;
    SourceSurface *source() const { return sourceSurface; }
    PageSurface *page() const { return pageSurface; }
    bool isSourceMode() const;

    // action runs command on the surface in use.
    void bind(QAction *action, void (EditingSurface::*command)());
    // Enabled only in WYSIWYG mode.
    void addPageOnly(QAction *action);
    // Shown only in WYSIWYG mode.
    void addPageOnly(QWidget *widget);
    void retranslate();

    // Switches mode: the page's document goes to the source editor through
    // Markdown, or the source text back to the page.
    void setSourceMode(bool sourceMode);

signals:
    void surfaceChanged(EditingSurface *surface);
    // The page gave no answer, so the switch to source mode was taken back.
    void switchFailed(const QString &message);

private:
    void show(bool sourceMode);

    QStackedWidget *stack;
    SourceSurface *sourceSurface;
    // The page's fill that took the editor's text on the last switch to it.
    int handedFill = -1;
    PageSurface *pageSurface;
    QPushButton *button;
    QList<QAction *> pageOnlyActions;
    QList<QWidget *> pageOnlyWidgets;
    // Counts switches to source mode, so that a page answer arriving after the
    // user has switched back again is dropped; while one is awaited the page
    // is the surface in use.
    int pull = 0;
    bool awaitingPage = false;
};

#endif // MODESWITCH_H
