#ifndef SOURCESURFACE_H
#define SOURCESURFACE_H

#include "editor/editingsurface.h"

class Highlighter;
class QMimeData;
class QPlainTextEdit;
class QTimer;

// The Markdown itself in a plain-text editor, coloured by the highlighter,
// with the cursor's line shaded. Commands edit the text through the cursor.
class SourceSurface : public EditingSurface
{
    Q_OBJECT

public:
    explicit SourceSurface(QPlainTextEdit *editor, QObject *parent = nullptr);

    QPlainTextEdit *editor() const { return textEdit; }
    // The open document's file, next to which pasted images are kept; empty when untitled.
    void setDocumentPath(const QString &path);

    QWidget *widget() const override;
    // The editor's text as the file gets it.
    QString text() const;
    void markdown(const MarkdownCallback &done) override;
    void setMarkdown(const QString &markdown) override;
    void setModified(bool modified) override;

    void bold() override;
    void italic() override;
    void strike() override;
    void inlineCode() override;
    void heading(int level) override;
    void quote() override;
    void orderedList() override;
    void bulletList() override;
    void rule() override;
    void codeBlock() override;
    void insertTable(int rows, int columns) override;
    void link() override;
    void insertImage(const QString &path) override;
    void clearFormat() override {}
    void unlink() override {}

    void undo() override;
    void redo() override;
    void cut() override;
    void copy() override;
    void paste() override;
    void deleteSelection() override;
    void selectAll() override;
    QString selectedText() const override;

    void find(const QString &text, bool backward) override;
    void findAsTyped(const QString &text) override;
    void markMatches(const QString &text) override;
    void stepMatch(const QString &text, bool backward) override;
    void replaceMatch(const QString &text, const QString &replacement) override;
    void replaceAllMatches(const QString &text, const QString &replacement) override;
    void clearMatches() override {}

    // Colours the lines in view that are not coloured yet (large texts only).
    void colourVisibleLines();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void insertText(const QString &text);
    // The text size follows the settings: the font size in pixels, scaled by the zoom.
    void setFontSize(int pixels);
    void setZoom(double factor);
    void applyFontSize();
    // Image data and files pasted or dropped into the editor, as Markdown; false
    // when the editor's own plain-text insertion should take mimeData.
    bool insertFiles(const QMimeData *mimeData);

    QPlainTextEdit *textEdit;
    Highlighter *highlighter;
    QTimer *colourTimer;
    int fontPixels = 16;
    double zoomFactor = 1.0;
    QString documentPath;
    bool loading = false; // text set by the program is not an edit
};

#endif // SOURCESURFACE_H
