#ifndef SOURCEEDITOR_H
#define SOURCEEDITOR_H

#include <QPlainTextEdit>
#include <functional>

// The Markdown editor. Pasted or dropped data that the editor would take as
// plain text (or refuse, like image data) is offered to a handler first.
class SourceEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    using Handler = std::function<bool(const QMimeData *)>;

    using QPlainTextEdit::QPlainTextEdit;

    // wants tells whether handler inserts the data itself; handler inserts it.
    void setMimeHandler(const Handler &wants, const Handler &handler);

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    Handler wants;
    Handler handler;
};

#endif // SOURCEEDITOR_H
