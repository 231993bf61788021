#ifndef PAGEVIEW_H
#define PAGEVIEW_H

#include <QWebEngineView>

// The web view of the editing page. It hands drops to the program instead of
// letting the engine insert the dropped data itself.
class PageView : public QWebEngineView
{
    Q_OBJECT

public:
    explicit PageView(QWidget *parent = nullptr);

signals:
    void dropped(QDropEvent *event);

protected:
    void dropEvent(QDropEvent *event) override;
};

#endif // PAGEVIEW_H
