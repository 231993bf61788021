#include "export/docxparts.h"

#include <QDateTime>

namespace docx {

namespace {

const char xmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char wNamespace[] = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
const char relationshipBase[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

QByteArray number(long long value)
{
    return QByteArray::number(value);
}

QByteArray monospaceFonts()
{
    return "<w:rFonts w:ascii=\"Consolas\" w:hAnsi=\"Consolas\" w:eastAsia=\"Microsoft YaHei\" w:cs=\"Consolas\"/>";
}

QByteArray heading(int level)
{
    // GitHub-like sizes relative to 11 pt body text; levels 1 and 2 are underlined by a rule.
    static const int halfPoints[] = {44, 33, 28, 22, 20, 19};
    const QByteArray n = number(level);
    QByteArray s = "<w:style w:type=\"paragraph\" w:styleId=\"Heading" + n + "\"><w:name w:val=\"heading " + n
        + "\"/><w:basedOn w:val=\"Normal\"/><w:next w:val=\"Normal\"/><w:uiPriority w:val=\"9\"/>"
        + (level > 1 ? "<w:unhideWhenUsed/>" : "") + "<w:qFormat/><w:pPr><w:keepNext/><w:keepLines/>";
    if (level <= 2)
        s += "<w:pBdr><w:bottom w:val=\"single\" w:sz=\"6\" w:space=\"4\" w:color=\"D8DEE4\"/></w:pBdr>";
    s += "<w:spacing w:before=\"360\" w:after=\"160\"/><w:outlineLvl w:val=\"" + number(level - 1)
        + "\"/></w:pPr><w:rPr><w:b/><w:bCs/>";
    if (level == 6)
        s += "<w:color w:val=\"59636E\"/>";
    const QByteArray size = number(halfPoints[level - 1]);
    s += "<w:sz w:val=\"" + size + "\"/><w:szCs w:val=\"" + size + "\"/></w:rPr></w:style>";
    return s;
}

QByteArray level(int ilvl, bool bullet)
{
    static const char *bullets[] = {"\xE2\x80\xA2", "\xE2\x97\xA6", "\xE2\x96\xAA"}; // • ◦ ▪
    QByteArray s = "<w:lvl w:ilvl=\"" + number(ilvl) + "\"><w:start w:val=\"1\"/>";
    if (bullet)
        s += QByteArray("<w:numFmt w:val=\"bullet\"/><w:lvlText w:val=\"") + bullets[ilvl % 3] + "\"/>";
    else
        s += "<w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%" + number(ilvl + 1) + ".\"/>";
    s += "<w:lvlJc w:val=\"left\"/><w:pPr><w:ind w:left=\"" + number(720 * (ilvl + 1))
        + "\" w:hanging=\"360\"/></w:pPr></w:lvl>";
    return s;
}

} // namespace

QByteArray contentTypes(const QSet<QByteArray> &imageExtensions)
{
    QByteArray s = xmlHead;
    s += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
    QList<QByteArray> extensions = imageExtensions.values();
    std::sort(extensions.begin(), extensions.end());
    for (const QByteArray &extension : extensions)
        s += "<Default Extension=\"" + extension + "\" ContentType=\"image/" + extension + "\"/>";
    const char *prefix = "application/vnd.openxmlformats-officedocument.wordprocessingml.";
    s += QByteArray("<Override PartName=\"/word/document.xml\" ContentType=\"") + prefix + "document.main+xml\"/>"
        + "<Override PartName=\"/word/styles.xml\" ContentType=\"" + prefix + "styles+xml\"/>"
        + "<Override PartName=\"/word/numbering.xml\" ContentType=\"" + prefix + "numbering+xml\"/>"
        + "<Override PartName=\"/word/settings.xml\" ContentType=\"" + prefix + "settings+xml\"/>"
        + "<Override PartName=\"/word/fontTable.xml\" ContentType=\"" + prefix + "fontTable+xml\"/>"
        + "<Override PartName=\"/docProps/core.xml\" ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
        + "<Override PartName=\"/docProps/app.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
        + "</Types>";
    return s;
}

QByteArray packageRelationships()
{
    return QByteArray(xmlHead)
        + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"rId1\" Type=\"" + relationshipBase + "officeDocument\" Target=\"word/document.xml\"/>"
          "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" Target=\"docProps/core.xml\"/>"
          "<Relationship Id=\"rId3\" Type=\"" + relationshipBase + "extended-properties\" Target=\"docProps/app.xml\"/>"
          "</Relationships>";
}

QByteArray documentRelationships(const QVector<Relationship> &relationships)
{
    QByteArray s = xmlHead;
    s += "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    auto add = [&](const QByteArray &id, const QByteArray &type, const QByteArray &target, bool external) {
        s += "<Relationship Id=\"" + id + "\" Type=\"" + relationshipBase + type + "\" Target=\"" + target + "\""
            + (external ? " TargetMode=\"External\"" : "") + "/>";
    };
    add("rId1", "styles", "styles.xml", false);
    add("rId2", "numbering", "numbering.xml", false);
    add("rId3", "settings", "settings.xml", false);
    add("rId4", "fontTable", "fontTable.xml", false);
    for (const Relationship &r : relationships)
        add(r.id, r.type, r.target, r.external);
    s += "</Relationships>";
    return s;
}

QByteArray styles()
{
    QByteArray s = xmlHead;
    s += QByteArray("<w:styles ") + wNamespace + ">"
        "<w:docDefaults><w:rPrDefault><w:rPr>"
        "<w:rFonts w:ascii=\"Calibri\" w:hAnsi=\"Calibri\" w:eastAsia=\"Microsoft YaHei\" w:cs=\"Calibri\"/>"
        "<w:sz w:val=\"22\"/><w:szCs w:val=\"22\"/><w:lang w:val=\"en-US\" w:eastAsia=\"zh-CN\" w:bidi=\"ar-SA\"/>"
        "</w:rPr></w:rPrDefault><w:pPrDefault><w:pPr>"
        "<w:spacing w:after=\"160\" w:line=\"276\" w:lineRule=\"auto\"/>"
        "</w:pPr></w:pPrDefault></w:docDefaults>"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/><w:qFormat/></w:style>"
        "<w:style w:type=\"character\" w:default=\"1\" w:styleId=\"DefaultParagraphFont\"><w:name w:val=\"Default Paragraph Font\"/>"
        "<w:uiPriority w:val=\"1\"/><w:semiHidden/><w:unhideWhenUsed/></w:style>"
        "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:name w:val=\"Normal Table\"/>"
        "<w:uiPriority w:val=\"99\"/><w:semiHidden/><w:unhideWhenUsed/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/>"
        "<w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"108\" w:type=\"dxa\"/>"
        "<w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"108\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr></w:style>"
        "<w:style w:type=\"numbering\" w:default=\"1\" w:styleId=\"NoList\"><w:name w:val=\"No List\"/>"
        "<w:uiPriority w:val=\"99\"/><w:semiHidden/><w:unhideWhenUsed/></w:style>";
    for (int level = 1; level <= 6; ++level)
        s += heading(level);
    // Items of tight lists: no space between items, the usual space after the list.
    s += "<w:style w:type=\"paragraph\" w:styleId=\"ListParagraph\"><w:name w:val=\"List Paragraph\"/>"
         "<w:basedOn w:val=\"Normal\"/><w:uiPriority w:val=\"34\"/><w:qFormat/>"
         "<w:pPr><w:ind w:left=\"720\"/><w:contextualSpacing/></w:pPr></w:style>";
    s += "<w:style w:type=\"paragraph\" w:styleId=\"Quote\"><w:name w:val=\"Quote\"/><w:basedOn w:val=\"Normal\"/>"
         "<w:next w:val=\"Normal\"/><w:uiPriority w:val=\"29\"/><w:qFormat/><w:pPr>"
         "<w:pBdr><w:left w:val=\"single\" w:sz=\"24\" w:space=\"8\" w:color=\"D0D7DE\"/></w:pBdr>"
         "<w:ind w:left=\"360\"/></w:pPr><w:rPr><w:color w:val=\"59636E\"/></w:rPr></w:style>";
    // Code blocks: one paragraph per block, lines kept by breaks; the border in
    // the fill colour pads the shading.
    s += "<w:style w:type=\"paragraph\" w:customStyle=\"1\" w:styleId=\"SourceCode\"><w:name w:val=\"Source Code\"/>"
         "<w:basedOn w:val=\"Normal\"/><w:next w:val=\"Normal\"/><w:qFormat/><w:pPr><w:pBdr>"
         "<w:top w:val=\"single\" w:sz=\"4\" w:space=\"4\" w:color=\"F6F8FA\"/>"
         "<w:left w:val=\"single\" w:sz=\"4\" w:space=\"4\" w:color=\"F6F8FA\"/>"
         "<w:bottom w:val=\"single\" w:sz=\"4\" w:space=\"4\" w:color=\"F6F8FA\"/>"
         "<w:right w:val=\"single\" w:sz=\"4\" w:space=\"4\" w:color=\"F6F8FA\"/></w:pBdr>"
         "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"F6F8FA\"/>"
         "<w:spacing w:before=\"80\" w:after=\"240\" w:line=\"240\" w:lineRule=\"auto\"/></w:pPr><w:rPr>"
        + monospaceFonts() + "<w:noProof/><w:sz w:val=\"19\"/><w:szCs w:val=\"19\"/></w:rPr></w:style>";
    s += "<w:style w:type=\"character\" w:customStyle=\"1\" w:styleId=\"InlineCode\"><w:name w:val=\"Inline Code\"/>"
         "<w:basedOn w:val=\"DefaultParagraphFont\"/><w:qFormat/><w:rPr>"
        + monospaceFonts() + "<w:noProof/><w:sz w:val=\"19\"/><w:szCs w:val=\"19\"/>"
          "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"EFF1F3\"/></w:rPr></w:style>";
    s += "<w:style w:type=\"character\" w:styleId=\"Hyperlink\"><w:name w:val=\"Hyperlink\"/>"
         "<w:basedOn w:val=\"DefaultParagraphFont\"/><w:uiPriority w:val=\"99\"/><w:unhideWhenUsed/>"
         "<w:rPr><w:color w:val=\"0969DA\"/><w:u w:val=\"single\"/></w:rPr></w:style>";
    s += "</w:styles>";
    return s;
}

QByteArray numbering(const QVector<NumberedList> &lists)
{
    QByteArray s = xmlHead;
    s += QByteArray("<w:numbering ") + wNamespace + ">";
    for (int abstract = 0; abstract < 2; ++abstract) {
        s += "<w:abstractNum w:abstractNumId=\"" + number(abstract) + "\"><w:multiLevelType w:val=\"hybridMultilevel\"/>";
        for (int ilvl = 0; ilvl < 9; ++ilvl)
            s += level(ilvl, abstract == 0);
        s += "</w:abstractNum>";
    }
    s += "<w:num w:numId=\"" + number(bulletNumId) + "\"><w:abstractNumId w:val=\"0\"/></w:num>";
    for (int i = 0; i < lists.size(); ++i) {
        const QByteArray ilvl = number(lists[i].level);
        s += "<w:num w:numId=\"" + number(bulletNumId + 1 + i) + "\"><w:abstractNumId w:val=\"1\"/>"
            + "<w:lvlOverride w:ilvl=\"" + ilvl + "\"><w:startOverride w:val=\"" + number(lists[i].start)
            + "\"/></w:lvlOverride></w:num>";
    }
    s += "</w:numbering>";
    return s;
}

QByteArray settings()
{
    return QByteArray(xmlHead) + "<w:settings " + wNamespace + "><w:defaultTabStop w:val=\"720\"/>"
        + "<w:characterSpacingControl w:val=\"doNotCompress\"/><w:compat>"
          "<w:compatSetting w:name=\"compatibilityMode\" w:uri=\"http://schemas.microsoft.com/office/word\" w:val=\"15\"/>"
          "</w:compat></w:settings>";
}

QByteArray fontTable()
{
    // The families let a program without these fonts pick a like one.
    return QByteArray(xmlHead) + "<w:fonts " + wNamespace + ">"
        + "<w:font w:name=\"Calibri\"><w:family w:val=\"swiss\"/><w:pitch w:val=\"variable\"/></w:font>"
          "<w:font w:name=\"Consolas\"><w:family w:val=\"modern\"/><w:pitch w:val=\"fixed\"/></w:font>"
          "<w:font w:name=\"Microsoft YaHei\"><w:charset w:val=\"86\"/><w:family w:val=\"swiss\"/><w:pitch w:val=\"variable\"/></w:font>"
          "<w:font w:name=\"Segoe UI Symbol\"><w:family w:val=\"swiss\"/><w:pitch w:val=\"variable\"/></w:font>"
          "</w:fonts>";
}

QByteArray coreProperties(const QByteArray &escapedTitle)
{
    const QByteArray now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1();
    return QByteArray(xmlHead)
        + "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\""
          " xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\""
          " xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
          "<dc:title>" + escapedTitle + "</dc:title>"
        + "<dcterms:created xsi:type=\"dcterms:W3CDTF\">" + now + "</dcterms:created>"
        + "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">" + now + "</dcterms:modified>"
        + "</cp:coreProperties>";
}

QByteArray appProperties()
{
    return QByteArray(xmlHead)
        + "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
          "<Application>Veltrane</Application></Properties>";
}

QByteArray documentStart()
{
    return QByteArray(xmlHead) + "<w:document " + wNamespace
        + " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
          " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
          " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
          " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>";
}

QByteArray documentEnd()
{
    const QByteArray margin = number(pageMargin);
    return "<w:sectPr><w:pgSz w:w=\"" + number(pageWidth) + "\" w:h=\"" + number(pageHeight) + "\"/>"
        + "<w:pgMar w:top=\"" + margin + "\" w:right=\"" + margin + "\" w:bottom=\"" + margin + "\" w:left=\""
        + margin + "\" w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";
}

} // namespace docx
