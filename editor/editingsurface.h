#ifndef EDITINGSURFACE_H
#define EDITINGSURFACE_H

#include <QObject>
#include <functional>

class QWidget;

// What a command does to the text of the open document. There are two
// surfaces over one document: the Markdown source (SourceSurface) and the
// editing page (PageSurface); only the one in use holds the current text.
class EditingSurface : public QObject
{
    Q_OBJECT

public:
    using MarkdownCallback = std::function<void(bool ok, const QString &markdown)>;

    using QObject::QObject;

    virtual QWidget *widget() const = 0;

    // The document as Markdown, given to done now or later. ok is false when
    // the surface gave no answer: nothing may then be built from the text.
    virtual void markdown(const MarkdownCallback &done) = 0;
    // Replaces the document; loading is not an edit.
    virtual void setMarkdown(const QString &markdown) = 0;
    // Keeps the surface's own modified state equal to the document's.
    virtual void setModified(bool modified) { Q_UNUSED(modified) }

    virtual void bold() = 0;
    virtual void italic() = 0;
    virtual void strike() = 0;
    virtual void inlineCode() = 0;
    virtual void heading(int level) = 0;
    virtual void quote() = 0;
    virtual void orderedList() = 0;
    virtual void bulletList() = 0;
    virtual void rule() = 0;
    virtual void codeBlock() = 0;
    virtual void insertTable(int rows, int columns) = 0;
    // Asks for a link (the selection as its text) and inserts it.
    virtual void link() = 0;
    virtual void insertImage(const QString &path) = 0;
    virtual void clearFormat() = 0;
    virtual void unlink() = 0;

    virtual void undo() = 0;
    virtual void redo() = 0;
    virtual void cut() = 0;
    virtual void copy() = 0;
    virtual void paste() = 0;
    virtual void deleteSelection() = 0;
    virtual void selectAll() = 0;
    virtual QString selectedText() const = 0;

    // Find bar: the next or previous match of text.
    virtual void find(const QString &text, bool backward) = 0;
    // Find bar and replace bar: text was typed into the search field.
    virtual void findAsTyped(const QString &text) = 0;
    virtual void markMatches(const QString &text) = 0;
    // Replace bar: the next or previous match becomes the current one.
    virtual void stepMatch(const QString &text, bool backward) = 0;
    virtual void replaceMatch(const QString &text, const QString &replacement) = 0;
    virtual void replaceAllMatches(const QString &text, const QString &replacement) = 0;
    virtual void clearMatches() = 0;

signals:
    // The user changed the text.
    void changed();
    // The surface's own view of whether the document is modified.
    void modificationChanged(bool modified);
    // Transient news for the status bar (for example why a paste inserted nothing).
    void statusMessage(const QString &text);
    // Pasted image data is kept next to the document: the document needs a file
    // first; pasting again afterwards inserts it.
    void savedDocumentNeeded();
};

#endif // EDITINGSURFACE_H
