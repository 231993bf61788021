// Throughput (MB/s of input) of markdownToHtml, htmlToMarkdown and the round
// trip on a generated document of about 2 MB of Markdown, and at 4 and 16
// times that size. "veltrane-bench --memory" reports the peak memory of each
// conversion instead.

#include "convert/converter.h"
#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"

#include <QByteArray>
#include <QString>

#include "documentwriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr size_t baseSize = 2u << 20; // Markdown bytes at scale 1

struct Inputs
{
    QString markdown;
    QString html;
    size_t markdownBytes;
    size_t htmlBytes;
};

const Inputs &inputs(int scale)
{
    static std::map<int, Inputs> cache;
    auto it = cache.find(scale);
    if (it == cache.end()) {
        const std::string doc = DocumentWriter().write(baseSize * static_cast<size_t>(scale));
        Inputs in;
        in.markdown = QString::fromUtf8(doc.data(), static_cast<int>(doc.size()));
        in.html = markdownToHtml(in.markdown);
        in.markdownBytes = doc.size();
        in.htmlBytes = static_cast<size_t>(in.html.toUtf8().size());
        it = cache.emplace(scale, std::move(in)).first;
    }
    return it->second;
}

void markdownToHtmlBench(benchmark::State &state)
{
    const Inputs &in = inputs(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(markdownToHtml(in.markdown));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.markdownBytes));
}

void htmlToMarkdownBench(benchmark::State &state)
{
    const Inputs &in = inputs(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(htmlToMarkdown(in.html));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.htmlBytes));
}

// The converter alone, on UTF-8 bytes (no QString conversions around it).
void converterBench(benchmark::State &state)
{
    const Inputs &in = inputs(static_cast<int>(state.range(0)));
    const std::string html = in.html.toStdString();
    for (auto _ : state) {
        html2md::Converter converter(html);
        benchmark::DoNotOptimize(converter.convert());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * html.size()));
}

// What a switch to the editing page and back costs, per byte of Markdown.
void roundTripBench(benchmark::State &state)
{
    const Inputs &in = inputs(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(htmlToMarkdown(markdownToHtml(in.markdown)));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.markdownBytes));
}

BENCHMARK(markdownToHtmlBench)->Name("markdownToHtml")->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(htmlToMarkdownBench)->Name("htmlToMarkdown")->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(converterBench)->Name("Converter::convert")->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(roundTripBench)->Name("roundTrip")->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

// Linux: resident memory now and its peak since the last reset, in bytes.
long long statusField(const char *name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, std::strlen(name), name) == 0)
            return std::stoll(line.substr(std::strlen(name) + 1)) * 1024;
    }
    return -1;
}

bool resetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

template<typename F>
void measure(const char *name, int scale, size_t inputBytes, F &&run)
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    const long long before = statusField("VmRSS:");
    if (!resetPeak()) {
        std::printf("%-16s x%-2d  cannot reset the peak (no /proc/self/clear_refs)\n", name, scale);
        return;
    }
    run();
    const long long peak = statusField("VmHWM:");
    const double extra = static_cast<double>(peak - before);
    std::printf("%-16s x%-2d  input %7.1f MB  peak extra %7.1f MB  = %4.2f x input\n", name, scale,
                static_cast<double>(inputBytes) / 1e6, extra / 1e6, extra / static_cast<double>(inputBytes));
}

int memoryReport()
{
    std::printf("Peak resident memory during one call, beyond what was resident before it\n"
                "(the caller's input QString is already resident; input sizes are UTF-8 bytes).\n");
    for (int scale : {1, 4, 16}) {
        const Inputs &in = inputs(scale);
        measure("markdownToHtml", scale, in.markdownBytes, [&] { markdownToHtml(in.markdown); });
        measure("htmlToMarkdown", scale, in.htmlBytes, [&] { htmlToMarkdown(in.html); });
        measure("roundTrip", scale, in.markdownBytes, [&] { htmlToMarkdown(markdownToHtml(in.markdown)); });
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--memory") == 0)
        return memoryReport();
    if (argc > 1 && std::strcmp(argv[1], "--write-sample") == 0) {
        // The generated document, for trying the command-line tool on it.
        const std::string doc = DocumentWriter().write(baseSize);
        std::fwrite(doc.data(), 1, doc.size(), stdout);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
