#include "editor/sourcesurface.h"

#include "editor/highlighter.h"
#include "editor/imagestore.h"
#include "editor/linkdialog.h"
#include "editor/mimepayload.h"
#include "editor/sourceeditor.h"
#include "editor/textcommands.h"
#include "settings/settings.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

namespace {

// Up to this many characters the whole text is coloured when it is set.
const int kEagerColouring = 200000;

// Searches from the start of the current selection, so that typing more of a word
// keeps the match that is already selected instead of jumping past it.
void findFromSelectionStart(QPlainTextEdit *editor, const QString &text)
{
    QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection()) {
        const int start = cursor.selectionStart();
        cursor.setPosition(start);
        editor->setTextCursor(cursor);
        if (!editor->find(text)) {
            // Nothing from here on: keep what was selected rather than losing it.
            cursor.setPosition(start);
            editor->setTextCursor(cursor);
        }
        return;
    }
    editor->find(text);
}

// A file name as the text of a Markdown link or image.
QString linkText(QString text)
{
    for (const char *special : {"\\", "[", "]"})
        text.replace(QLatin1String(special), QLatin1Char('\\') + QLatin1String(special));
    return text;
}

} // namespace

SourceSurface::SourceSurface(QPlainTextEdit *editor, QObject *parent)
    : EditingSurface(parent), textEdit(editor)
{
    QFont font(QStringLiteral("Courier"));
    font.setFixedPitch(true);
    font.setPointSize(10);
    textEdit->setFont(font);
    const Settings &settings = Settings::instance();
    fontPixels = settings.editorFontSize();
    highlighter = new Highlighter(textEdit->document(), fontPixels);
    highlighter->setDark(isDarkPalette(textEdit->palette()));
    setZoom(settings.sourceZoom());
    connect(&settings, &Settings::editorFontSizeChanged, this, &SourceSurface::setFontSize);
    connect(&settings, &Settings::sourceZoomChanged, this, &SourceSurface::setZoom);
    // A palette switch recolours the text in place: the document, its undo history
    // and the cursor stay.
    textEdit->installEventFilter(this);

    // A large text is coloured as it comes into view (see setMarkdown).
    colourTimer = new QTimer(this);
    colourTimer->setSingleShot(true);
    colourTimer->setInterval(0);
    connect(colourTimer, &QTimer::timeout, this, &SourceSurface::colourVisibleLines);
    connect(textEdit, &QPlainTextEdit::updateRequest, this, [this] {
        if (highlighter->isLazy() && !colourTimer->isActive())
            colourTimer->start();
    });
    connect(textEdit, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { textEdit->setExtraSelections(currentLineSelections(textEdit)); });
    connect(textEdit->document(), &QTextDocument::modificationChanged, this, [this](bool modified) {
        if (!loading)
            emit modificationChanged(modified);
    });
    connect(textEdit, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading)
            emit changed();
    });
    // Ctrl+V, Shift+Insert, the menus' paste and drops all end in the editor's insertion.
    if (auto *sourceEditor = qobject_cast<SourceEditor *>(textEdit)) {
        sourceEditor->setMimeHandler(
            [](const QMimeData *data) {
                return data && !data->hasHtml() && (offersLocalFiles(data) || offersImageData(data));
            },
            [this](const QMimeData *data) { return insertFiles(data); });
    }
}

bool SourceSurface::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == textEdit && event->type() == QEvent::PaletteChange) {
        highlighter->setDark(isDarkPalette(textEdit->palette()));
        textEdit->setExtraSelections(currentLineSelections(textEdit));
    }
    return EditingSurface::eventFilter(watched, event);
}

void SourceSurface::colourVisibleLines()
{
    const QRect shown = textEdit->viewport()->rect();
    highlighter->colourBlocks(textEdit->cursorForPosition(shown.topLeft()).block(),
                              textEdit->cursorForPosition(shown.bottomRight()).block());
}

void SourceSurface::setDocumentPath(const QString &path)
{
    documentPath = path;
}

bool SourceSurface::insertFiles(const QMimeData *mimeData)
{
    const InsertPayloads result = insertPayloads(mimeData, documentPath);
    if (result.needsSavedDocument) {
        if (mimeData == QApplication::clipboard()->mimeData())
            emit savedDocumentNeeded();
        else
            emit statusMessage(tr("拖入的图片要保存在文档旁边，请先保存文档"));
        return true;
    }
    if (!result.error.isEmpty()) {
        emit statusMessage(result.error);
        return true;
    }
    QString markdown;
    for (const QJsonObject &payload : result.payloads) {
        const QString type = payload.value(QStringLiteral("type")).toString();
        const QString text = payload.value(payload.contains(QStringLiteral("alt")) ? QStringLiteral("alt")
                                                                                  : QStringLiteral("title")).toString();
        markdown += QStringLiteral("%1[%2](%3)")
                        .arg(type == QLatin1String("img") ? QStringLiteral("!") : QString(), linkText(text),
                             markdownDestination(payload.value(QStringLiteral("url")).toString()));
    }
    if (markdown.isEmpty())
        return false;
    insertText(markdown);
    return true;
}

void SourceSurface::setFontSize(int pixels)
{
    fontPixels = pixels;
    applyFontSize();
}

void SourceSurface::setZoom(double factor)
{
    zoomFactor = qBound(Settings::minZoom, factor, Settings::maxZoom);
    applyFontSize();
}

void SourceSurface::applyFontSize()
{
    const int pixels = qMax(1, qRound(fontPixels * zoomFactor));
    textEdit->setStyleSheet(QStringLiteral("QPlainTextEdit{font-size: %1px;}").arg(pixels));
    highlighter->setBaseSize(pixels);
}

QWidget *SourceSurface::widget() const
{
    return textEdit;
}

QString SourceSurface::text() const
{
    // toPlainText() would turn no-break spaces and line separators into
    // spaces and line feeds: the file keeps what it holds.
    QString text = textEdit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void SourceSurface::markdown(const MarkdownCallback &done)
{
    done(true, text());
}

void SourceSurface::setMarkdown(const QString &markdown)
{
    // Loading clears the editor's modified state and its undo history; the
    // document's modified state stays what it was.
    const bool modified = textEdit->document()->isModified();
    loading = true;
    highlighter->setLazy(markdown.size() > kEagerColouring);
    textEdit->setPlainText(markdown);
    textEdit->document()->setModified(modified);
    loading = false;
}

void SourceSurface::setModified(bool modified)
{
    loading = true;
    textEdit->document()->setModified(modified);
    loading = false;
}

void SourceSurface::bold() { TextCommands::wrapSelection(textEdit, QStringLiteral("**")); }
void SourceSurface::italic() { TextCommands::wrapSelection(textEdit, QStringLiteral("*")); }
void SourceSurface::strike() { TextCommands::wrapSelection(textEdit, QStringLiteral("~~")); }
void SourceSurface::inlineCode() { TextCommands::wrapSelection(textEdit, QStringLiteral("`")); }

void SourceSurface::heading(int level)
{
    TextCommands::toggleHeading(textEdit, level);
}

void SourceSurface::quote() { TextCommands::prefixCurrentLine(textEdit, QStringLiteral("> ")); }
void SourceSurface::orderedList() { TextCommands::prefixSelectedLines(textEdit, true); }
void SourceSurface::bulletList() { TextCommands::prefixSelectedLines(textEdit, false); }
void SourceSurface::rule() { TextCommands::insertHorizontalRule(textEdit); }
void SourceSurface::codeBlock() { TextCommands::insertCodeBlock(textEdit); }

void SourceSurface::insertTable(int rows, int columns)
{
    TextCommands::insertMarkdownTable(textEdit, rows, columns);
}

void SourceSurface::link()
{
    auto *dialog = new LinkDialog(selectedText(), QString(), false);
    connect(dialog, &LinkDialog::linkAccepted, this, [this](const QJsonObject &link) {
        insertText(QStringLiteral("[%1](%2)").arg(link.value(QStringLiteral("title")).toString(),
                                                  link.value(QStringLiteral("url")).toString()));
    });
    dialog->show();
}

void SourceSurface::insertImage(const QString &path)
{
    insertText(QStringLiteral("![%1](%2)").arg(tr("图片ALT"), markdownDestination(path)));
}

void SourceSurface::insertText(const QString &text)
{
    textEdit->textCursor().insertText(text);
}

void SourceSurface::undo() { textEdit->undo(); }
void SourceSurface::redo() { textEdit->redo(); }
void SourceSurface::cut() { textEdit->cut(); }
void SourceSurface::copy() { textEdit->copy(); }
void SourceSurface::paste() { textEdit->paste(); }
void SourceSurface::deleteSelection() { textEdit->textCursor().removeSelectedText(); }
void SourceSurface::selectAll() { textEdit->selectAll(); }

QString SourceSurface::selectedText() const
{
    return textEdit->textCursor().selectedText();
}

void SourceSurface::find(const QString &text, bool backward)
{
    textEdit->find(text, backward ? QTextDocument::FindBackward : QTextDocument::FindFlags());
}

void SourceSurface::findAsTyped(const QString &text)
{
    findFromSelectionStart(textEdit, text);
}

void SourceSurface::markMatches(const QString &text)
{
    findFromSelectionStart(textEdit, text);
}

void SourceSurface::stepMatch(const QString &text, bool backward)
{
    find(text, backward);
}

void SourceSurface::replaceMatch(const QString &text, const QString &replacement)
{
    if (!textEdit->textCursor().hasSelection() && !text.isEmpty())
        textEdit->find(text);
    QTextCursor cursor = textEdit->textCursor();
    if (cursor.hasSelection()) {
        cursor.insertText(replacement);
        textEdit->setTextCursor(cursor);
    }
}

void SourceSurface::replaceAllMatches(const QString &text, const QString &replacement)
{
    if (text.isEmpty())
        return;
    QTextDocument *document = textEdit->document();
    QTextCursor group(document);
    group.beginEditBlock(); // one undo step for the whole run
    QTextCursor position(document);
    QTextCursor last;
    forever {
        QTextCursor found = document->find(text, position);
        if (found.isNull())
            break;
        // The next search starts after the inserted text, so a replacement that
        // contains the search text is never matched again.
        found.insertText(replacement);
        position = found;
        last = found;
    }
    group.endEditBlock();
    if (!last.isNull())
        textEdit->setTextCursor(last);
}
