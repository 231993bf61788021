#ifndef FINDREPLACEBAR_H
#define FINDREPLACEBAR_H

#include <QObject>

class EditingSurface;
class QAction;
class QLineEdit;
class QToolBar;

// The find bar and the replace bar at the right end of the main tool bar. They
// search and replace in the editing surface in use. Both start hidden.
class FindReplaceBar : public QObject
{
    Q_OBJECT

public:
    FindReplaceBar(QToolBar *toolBar, EditingSurface *surface, QObject *parent = nullptr);

    void setSurface(EditingSurface *surface);
    // Shows the find bar (hiding the replace bar) with the selection in the find field.
    void showFindBar();
    // Shows the replace bar (hiding the find bar) with the selection in the search field.
    void showReplaceBar();
    void hideBars();
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
    static void putText(QLineEdit *field, const QString &text);
    void focusField(QLineEdit *field);

    QToolBar *toolBar;
    EditingSurface *surface;

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

#endif // FINDREPLACEBAR_H
