// Time to export a generated 1 MB Markdown document (the conversion
// benchmark's document, with a few local pictures) to .docx, in memory and
// written to disk, and to .odt for comparison.

#include "export/documentexport.h"

#include "documentwriter.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr size_t documentSize = 1u << 20;

struct Input
{
    QTemporaryDir folder;
    QString markdown;
};

const Input &input()
{
    static Input in;
    if (in.markdown.isEmpty()) {
        QImage picture(640, 360, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(in.folder.filePath(QStringLiteral("picture.png")));
        const std::string doc = DocumentWriter().write(documentSize);
        in.markdown = QString::fromUtf8(doc.data(), int(doc.size()));
        for (int i = 0; i < 20; ++i)
            in.markdown += QStringLiteral("\n\n![Picture %1](picture.png)\n").arg(i);
    }
    return in;
}

void buildDocx(benchmark::State &state)
{
    const Input &in = input();
    for (auto _ : state)
        benchmark::DoNotOptimize(exporting::buildDocx(in.markdown, in.folder.path(), QStringLiteral("bench")));
    state.SetBytesProcessed(int64_t(state.iterations()) * in.markdown.toUtf8().size());
}

void writeDocx(benchmark::State &state)
{
    const Input &in = input();
    const QString target = in.folder.filePath(QStringLiteral("bench.docx"));
    for (auto _ : state)
        benchmark::DoNotOptimize(exporting::writeDocx(in.markdown, in.folder.path(), target));
    state.SetBytesProcessed(int64_t(state.iterations()) * in.markdown.toUtf8().size());
}

void writeOdt(benchmark::State &state)
{
    const Input &in = input();
    const QString target = in.folder.filePath(QStringLiteral("bench.odt"));
    for (auto _ : state)
        benchmark::DoNotOptimize(exporting::writeOdt(in.markdown, in.folder.path(), target));
    state.SetBytesProcessed(int64_t(state.iterations()) * in.markdown.toUtf8().size());
}

BENCHMARK(buildDocx)->Unit(benchmark::kMillisecond);
BENCHMARK(writeDocx)->Unit(benchmark::kMillisecond);
BENCHMARK(writeOdt)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
