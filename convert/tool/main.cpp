// veltrane-convert: the editor's two document conversions for scripts,
// benchmarks and checks.
//   --to-html      Markdown on standard input, HTML on standard output
//   --to-markdown  HTML on standard input, Markdown on standard output

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

bool readAll(FILE *in, QByteArray &data)
{
    char buffer[1 << 16];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, in);
        if (n > 0)
            data.append(buffer, static_cast<int>(n));
        if (n < sizeof buffer)
            return !std::ferror(in);
    }
}

int usage()
{
    std::fputs("usage: veltrane-convert --to-html | --to-markdown\n"
               "  --to-html      read Markdown on standard input, write HTML\n"
               "  --to-markdown  read HTML on standard input, write Markdown\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2)
        return usage();
    const bool toHtml = std::strcmp(argv[1], "--to-html") == 0;
    const bool toMarkdown = std::strcmp(argv[1], "--to-markdown") == 0;
    if (!toHtml && !toMarkdown)
        return usage();

#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    QByteArray input;
    if (!readAll(stdin, input)) {
        std::perror("veltrane-convert: reading standard input");
        return 1;
    }
    const QString text = QString::fromUtf8(input.constData(), input.size());
    input.clear();
    const QByteArray output = (toHtml ? markdownToHtml(text) : htmlToMarkdown(text)).toUtf8();
    if (std::fwrite(output.constData(), 1, static_cast<size_t>(output.size()), stdout)
            != static_cast<size_t>(output.size())
        || std::fflush(stdout) != 0) {
        std::perror("veltrane-convert: writing standard output");
        return 1;
    }
    return 0;
}
