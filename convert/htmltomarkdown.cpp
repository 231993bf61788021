#include "convert/htmltomarkdown.h"

// Placeholder until the converter lands.
QString htmlToMarkdown(const QString &html)
{
    return html;
}
