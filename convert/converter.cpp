#include "convert/converter.h"

#include "convert/conversion.h"

namespace html2md {

Converter::Converter(const std::string &html, const ConverterOptions *options) : html(html)
{
    if (options)
        this->options = *options;
}

Converter::Converter(std::string &&html, const ConverterOptions *options) : html(std::move(html))
{
    if (options)
        this->options = *options;
}

void Converter::run()
{
    if (converted)
        return;
    Conversion conversion(html, options);
    conversion.run();
    markdown = std::move(conversion.out.text);
    converted = true;
}

std::string Converter::convert() &
{
    run();
    return markdown;
}

std::string Converter::convert() &&
{
    run();
    return std::move(markdown);
}

} // namespace html2md
