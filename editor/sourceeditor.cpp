#include "editor/sourceeditor.h"

void SourceEditor::setMimeHandler(const Handler &wants, const Handler &handler)
{
    this->wants = wants;
    this->handler = handler;
}

bool SourceEditor::canInsertFromMimeData(const QMimeData *source) const
{
    return (wants && wants(source)) || QPlainTextEdit::canInsertFromMimeData(source);
}

void SourceEditor::insertFromMimeData(const QMimeData *source)
{
    if (!wants || !wants(source) || !handler(source))
        QPlainTextEdit::insertFromMimeData(source);
}
