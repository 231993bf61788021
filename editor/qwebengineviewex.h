#ifndef QWEBENGINEVIEWEX_H
#define QWEBENGINEVIEWEX_H

#include <QWebEngineView>

// A web view that hands drops to the program instead of letting the engine
// insert the dropped data itself.
class QWebEngineViewEx : public QWebEngineView
{
    Q_OBJECT

public:
    explicit QWebEngineViewEx(QWidget *parent = nullptr);

signals:
    void dropEventSignal(QDropEvent *event);

protected:
    void dropEvent(QDropEvent *event) override;
};

#endif // QWEBENGINEVIEWEX_H
