#!/usr/bin/env bash
# Exports the sample document to .docx and .odt and has LibreOffice open both
# as a user's office program would: each is converted to PDF headless and its
# pages rendered to PNG for looking at; the .docx is also converted to .odt to
# check that its headings are outline headings (levels 1 to 6). Given a .docx
# and an .odt (exported from the running editor, say), it checks those instead.
#   bash scripts/check-export.sh [build folder] [output folder] [FILE.docx FILE.odt]
# Needs libreoffice-writer-nogui and poppler-utils (development tools only).
set -euo pipefail

cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-$build/export-check}
sample=tests/export/sample/sample.md

for tool in soffice pdftoppm; do
    command -v "$tool" >/dev/null || { echo "missing $tool: apt-get install libreoffice-writer-nogui poppler-utils" >&2; exit 2; }
done
cmake --build "$build" --target veltrane-export >/dev/null

rm -rf "$out"
mkdir -p "$out"
if [ $# -ge 4 ]; then
    cp "$3" "$out/sample.docx"
    cp "$4" "$out/sample.odt"
else
    "$build/veltrane-export" "$sample" "$out/sample.docx"
    "$build/veltrane-export" "$sample" "$out/sample.odt"
fi

# A profile of its own, so a LibreOffice already running elsewhere is not asked instead.
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
office() {
    soffice -env:UserInstallation="file://$profile" --headless "$@" >/dev/null 2>&1
}

status=0
for document in sample.docx sample.odt; do
    name=${document%.*}-${document##*.}
    mkdir -p "$out/$name"
    office --convert-to pdf --outdir "$out/$name" "$out/$document"
    if [ ! -s "$out/$name/sample.pdf" ]; then
        echo "FAIL  LibreOffice did not convert $document"
        status=1
        continue
    fi
    pdftoppm -r 80 -png "$out/$name/sample.pdf" "$out/$name/page"
    echo "ok    $document opened and converted: $(ls "$out/$name"/page-*.png | wc -l) page(s) in $out/$name/"
done

mkdir -p "$out/docx-as-odt"
office --convert-to odt --outdir "$out/docx-as-odt" "$out/sample.docx"
levels=$(unzip -p "$out/docx-as-odt/sample.odt" content.xml | grep -o 'text:outline-level="[1-6]"' | sort -u | wc -l)
if [ "$levels" -eq 6 ]; then
    echo "ok    the .docx has headings at all six outline levels"
else
    echo "FAIL  the .docx shows $levels of six heading levels to LibreOffice"
    status=1
fi
exit $status
