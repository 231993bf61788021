#ifndef HTML2MD_CONVERTER_H
#define HTML2MD_CONVERTER_H

#include <cstdint>
#include <string>

namespace html2md {

// Knobs of one conversion. The editor always uses the defaults.
struct ConverterOptions
{
    bool wrapLines = true;       // wrap long text lines
    int32_t softWrapColumn = 80; // past this length a space ends the line
    int32_t hardWrapColumn = 100; // past this length the line breaks at its last space
    char bulletMarker = '-';
    char orderedMarker = '.';
    bool keepTitle = true;       // convert the <title> text
    bool alignTables = true;     // reformat each table when it closes
    // Keeps what Markdown cannot say (attributes, unknown elements, HTML
    // blocks) as HTML. Documents need it; a web page pasted in does not.
    bool keepHtml = true;
};

// Single-pass HTML to Markdown converter. Everything is UTF-8 bytes; lengths
// and columns count bytes. How it works is in conversion.h.
class Converter
{
public:
    explicit Converter(const std::string &html, const ConverterOptions *options = nullptr);
    explicit Converter(std::string &&html, const ConverterOptions *options = nullptr);

    // Converts once; later calls return the same text.
    std::string convert() &;
    // For a converter about to go away: hands over the text without a copy.
    std::string convert() &&;

private:
    void run();

    std::string html;
    ConverterOptions options;
    std::string markdown;
    bool converted = false;
};

} // namespace html2md

#endif // HTML2MD_CONVERTER_H
