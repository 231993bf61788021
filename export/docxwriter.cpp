// The .docx writer: one pass of MD4C's parser over the Markdown, whose
// callbacks write WordprocessingML into one Builder, then the package.

#include "convert/markdowntohtml.h"
#include "export/docxparts.h"
#include "export/documentexport.h"
#include "export/xmltext.h"

#include <KZip>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QUrl>

#include <md4c.h>

#include <algorithm>

namespace exporting {

namespace {

constexpr int listIndent = 720;  // per list level, as in the numbering part
constexpr int quoteIndent = 360; // per quote level
constexpr int hangingIndent = 360;

const char replacementCharacter[] = "\xEF\xBF\xBD";

enum Format : unsigned { Bold = 1, Italic = 2, Strike = 4, Code = 8, Link = 16 };

enum class Paragraph { Body, Heading, Code, Cell, Rule };

struct Image
{
    QByteArray relationshipId;
    QByteArray mediaName; // file name under word/media/
    QByteArray bytes;
    QSize pixels;
};

QByteArray attributeText(const MD_ATTRIBUTE &attribute)
{
    QByteArray out;
    for (int i = 0; attribute.substr_offsets[i] < attribute.size; ++i) {
        const MD_OFFSET begin = attribute.substr_offsets[i];
        const int length = int(attribute.substr_offsets[i + 1] - begin);
        const char *text = attribute.text + begin;
        switch (attribute.substr_types[i]) {
        case MD_TEXT_ENTITY: out += xmltext::decodeEntity(text, length); break;
        case MD_TEXT_NULLCHAR: out += replacementCharacter; break;
        default: out.append(text, length); break;
        }
    }
    return out;
}

QByteArray attr(const char *name, const QByteArray &value)
{
    return QByteArray(" ") + name + "=\"" + value + "\"";
}

QByteArray attr(const char *name, long long value)
{
    return attr(name, QByteArray::number(value));
}

struct Builder
{
    explicit Builder(const QString &documentFolder) : folder(documentFolder) {}

    const QString folder;

    // What the pass produces.
    QByteArray body;
    QByteArray title;
    QVector<docx::Relationship> relationships;
    QVector<Image> images;
    QVector<docx::NumberedList> numberedLists;

    // Containers around the current block.
    struct List { int numId; bool tight; };
    struct Item { bool task; bool checked; bool started; };
    QVector<List> lists;
    QVector<Item> items;
    int quoteDepth = 0;

    // Leaf blocks whose text is gathered first and written when they end.
    enum class Verbatim { None, Code, Html } verbatim = Verbatim::None;
    QByteArray verbatimText;

    bool paragraphOpen = false;
    bool runOpen = false;
    bool textOpen = false;
    unsigned runFormat = 0;
    bool inTitle = false;
    bool titleDone = false;

    // Tables.
    int tableColumns = 0;
    int cellWidth = 0;
    bool headRow = false;
    bool headerCell = false;
    bool tableJustEnded = false;
    bool codeJustEnded = false;

    // Spans.
    int bold = 0, italic = 0, strike = 0, code = 0;
    bool hyperlinkOpen = false;
    QVector<bool> linkOpenedHyperlink;
    int imageDepth = 0;
    QByteArray imageSource;
    QByteArray imageAlt;

    QHash<QByteArray, QByteArray> hyperlinkIds;
    QHash<QString, int> imageByPath; // -1: the file is no image we can read
    int drawingCount = 0;

    QByteArray newRelationshipId()
    {
        // rId1 to rId4 are the fixed parts'.
        return "rId" + QByteArray::number(relationships.size() + images.size() + 5);
    }

    int indent() const { return listIndent * lists.size() + quoteIndent * quoteDepth; }

    // ---- runs

    unsigned currentFormat() const
    {
        unsigned f = 0;
        if (bold > 0 || headerCell)
            f |= Bold;
        if (italic > 0)
            f |= Italic;
        if (strike > 0)
            f |= Strike;
        if (code > 0)
            f |= Code;
        if (hyperlinkOpen)
            f |= Link;
        return f;
    }

    void startRun()
    {
        const unsigned f = currentFormat();
        if (runOpen && f == runFormat)
            return;
        endRun();
        body += "<w:r>";
        if (f != 0) {
            body += "<w:rPr>";
            if (f & Link)
                body += "<w:rStyle w:val=\"Hyperlink\"/>";
            else if (f & Code)
                body += "<w:rStyle w:val=\"InlineCode\"/>";
            if ((f & Link) && (f & Code))
                body += "<w:rFonts w:ascii=\"Consolas\" w:hAnsi=\"Consolas\" w:cs=\"Consolas\"/>";
            if (f & Bold)
                body += "<w:b/><w:bCs/>";
            if (f & Italic)
                body += "<w:i/><w:iCs/>";
            if (f & Strike)
                body += "<w:strike/>";
            body += "</w:rPr>";
        }
        runOpen = true;
        runFormat = f;
    }

    void endText()
    {
        if (textOpen) {
            body += "</w:t>";
            textOpen = false;
        }
    }

    void endRun()
    {
        if (!runOpen)
            return;
        endText();
        body += "</w:r>";
        runOpen = false;
    }

    void putText(const char *text, int size)
    {
        if (size <= 0)
            return;
        ensureParagraph();
        startRun();
        if (!textOpen) {
            body += "<w:t xml:space=\"preserve\">";
            textOpen = true;
        }
        xmltext::appendEscaped(body, text, size);
    }

    void putText(const QByteArray &text) { putText(text.constData(), text.size()); }

    void putElement(const char *element)
    {
        ensureParagraph();
        startRun();
        endText();
        body += element;
    }

    // ---- paragraphs

    void openParagraph(Paragraph kind, int level = 0, MD_ALIGN align = MD_ALIGN_DEFAULT)
    {
        closeParagraph();
        tableJustEnded = false;
        // Shaded paragraphs next to each other share one box: a gap keeps two
        // code blocks apart.
        if (kind == Paragraph::Code && codeJustEnded)
            body += "<w:p><w:pPr><w:spacing w:after=\"0\" w:line=\"120\" w:lineRule=\"exact\"/></w:pPr></w:p>";
        codeJustEnded = kind == Paragraph::Code;
        body += "<w:p>";
        paragraphOpen = true;

        QByteArray style;
        if (kind == Paragraph::Heading)
            style = "Heading" + QByteArray::number(level);
        else if (kind == Paragraph::Code)
            style = "SourceCode";
        else if (kind == Paragraph::Body && quoteDepth > 0)
            style = "Quote";
        else if (kind == Paragraph::Body && !lists.isEmpty() && lists.last().tight)
            style = "ListParagraph";

        // The first paragraph of a list item carries its number or bullet;
        // a task item shows its box instead.
        bool numbered = false;
        const char *box = nullptr;
        if (kind != Paragraph::Cell && !items.isEmpty() && !items.last().started) {
            Item &item = items.last();
            item.started = true;
            if (item.task)
                box = item.checked ? "\xE2\x98\x92" : "\xE2\x98\x90"; // ☒ ☐
            else if (kind != Paragraph::Code)
                numbered = true;
        }

        QByteArray properties;
        if (!style.isEmpty())
            properties += "<w:pStyle w:val=\"" + style + "\"/>";
        if (numbered) {
            const int ilvl = std::min<int>(lists.size() - 1, 8);
            properties += "<w:numPr><w:ilvl w:val=\"" + QByteArray::number(ilvl) + "\"/><w:numId w:val=\""
                + QByteArray::number(lists.last().numId) + "\"/></w:numPr>";
        }
        if (kind == Paragraph::Rule)
            properties += "<w:pBdr><w:bottom w:val=\"single\" w:sz=\"18\" w:space=\"1\" w:color=\"D0D7DE\"/></w:pBdr>";
        if (kind == Paragraph::Cell)
            properties += "<w:spacing w:before=\"40\" w:after=\"40\"/>";
        const int left = kind == Paragraph::Cell ? 0 : indent();
        if (left > 0) {
            properties += "<w:ind" + attr("w:left", left);
            if (numbered || box)
                properties += attr("w:hanging", hangingIndent);
            properties += "/>";
        }
        if (align == MD_ALIGN_CENTER)
            properties += "<w:jc w:val=\"center\"/>";
        else if (align == MD_ALIGN_RIGHT)
            properties += "<w:jc w:val=\"right\"/>";
        if (!properties.isEmpty())
            body += "<w:pPr>" + properties + "</w:pPr>";

        if (box) {
            body += "<w:r><w:rPr><w:rFonts w:ascii=\"Segoe UI Symbol\" w:hAnsi=\"Segoe UI Symbol\"/></w:rPr>"
                    "<w:t>";
            body += box;
            body += "</w:t><w:tab/></w:r>";
        }
    }

    void ensureParagraph()
    {
        if (!paragraphOpen)
            openParagraph(Paragraph::Body);
    }

    void closeParagraph()
    {
        if (!paragraphOpen)
            return;
        endRun();
        if (hyperlinkOpen) {
            body += "</w:hyperlink>";
            hyperlinkOpen = false;
        }
        body += "</w:p>";
        paragraphOpen = false;
    }

    // ---- leaf blocks gathered as text

    void writeCode()
    {
        QByteArray &text = verbatimText;
        if (text.endsWith('\n'))
            text.chop(1);
        openParagraph(Paragraph::Code);
        if (!text.isEmpty()) {
            startRun();
            const char *s = text.constData();
            const int n = text.size();
            int start = 0;
            for (int i = 0; i <= n; ++i) {
                const char c = i < n ? s[i] : '\n';
                if (c != '\n' && c != '\t' && c != '\r')
                    continue;
                if (i > start) {
                    if (!textOpen) {
                        body += "<w:t xml:space=\"preserve\">";
                        textOpen = true;
                    }
                    xmltext::appendEscaped(body, s + start, i - start);
                }
                start = i + 1;
                if (i < n && c != '\r') {
                    endText();
                    body += c == '\n' ? "<w:br/>" : "<w:tab/>";
                }
            }
        }
        closeParagraph();
    }

    void writeHtml()
    {
        for (const QByteArray &paragraph : xmltext::htmlParagraphs(verbatimText)) {
            openParagraph(Paragraph::Body);
            const QList<QByteArray> lines = paragraph.split('\n');
            for (int i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    putElement("<w:br/>");
                putText(lines[i]);
            }
            closeParagraph();
        }
    }

    // ---- tables

    void beginTable(const MD_BLOCK_TABLE_DETAIL *detail)
    {
        closeParagraph();
        // Two tables in a row would run together into one.
        if (tableJustEnded)
            body += "<w:p/>";
        codeJustEnded = false;
        tableColumns = std::max(1u, detail->col_count);
        const int left = indent();
        const int width = docx::textWidth - left;
        cellWidth = width / tableColumns;
        body += "<w:tbl><w:tblPr><w:tblW" + attr("w:w", width) + " w:type=\"dxa\"/>";
        if (left > 0)
            body += "<w:tblInd" + attr("w:w", left) + " w:type=\"dxa\"/>";
        body += "<w:tblBorders>";
        for (const char *side : {"top", "left", "bottom", "right", "insideH", "insideV"})
            body += QByteArray("<w:") + side + " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"D0D7DE\"/>";
        body += "</w:tblBorders><w:tblCellMar><w:left w:w=\"115\" w:type=\"dxa\"/><w:right w:w=\"115\" w:type=\"dxa\"/>"
                "</w:tblCellMar></w:tblPr><w:tblGrid>";
        for (int i = 0; i < tableColumns; ++i)
            body += "<w:gridCol" + attr("w:w", cellWidth) + "/>";
        body += "</w:tblGrid>";
    }

    void beginRow()
    {
        body += headRow ? "<w:tr><w:trPr><w:tblHeader/></w:trPr>" : "<w:tr>";
    }

    void beginCell(const MD_BLOCK_TD_DETAIL *detail, bool header)
    {
        body += "<w:tc><w:tcPr><w:tcW" + attr("w:w", cellWidth) + " w:type=\"dxa\"/>";
        if (header)
            body += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"F6F8FA\"/>";
        body += "</w:tcPr>";
        headerCell = header;
        openParagraph(Paragraph::Cell, 0, detail->align);
    }

    void endCell()
    {
        closeParagraph();
        headerCell = false;
        body += "</w:tc>";
    }


    // ---- links and images

    void beginLink(const MD_SPAN_A_DETAIL *detail)
    {
        const QByteArray href = attributeText(detail->href);
        bool opened = false;
        if (!hyperlinkOpen && !href.isEmpty()) {
            ensureParagraph();
            opened = openHyperlink(href);
        }
        linkOpenedHyperlink.append(opened);
    }

    void endLink()
    {
        if (!linkOpenedHyperlink.isEmpty() && linkOpenedHyperlink.takeLast() && hyperlinkOpen) {
            endRun();
            body += "</w:hyperlink>";
            hyperlinkOpen = false;
        }
    }

    bool openHyperlink(const QByteArray &href)
    {
        endRun();
        if (href.startsWith('#')) {
            body += "<w:hyperlink w:anchor=\"" + xmltext::escaped(href.mid(1)) + "\" w:history=\"1\">";
        } else {
            // The relationship target must be a URI: spaces and other
            // characters a URI cannot hold are percent-encoded.
            const QUrl url(QString::fromUtf8(href), QUrl::TolerantMode);
            const QByteArray target = url.isValid() ? url.toEncoded() : QByteArray();
            if (target.isEmpty())
                return false;
            QByteArray &id = hyperlinkIds[target];
            if (id.isEmpty()) {
                id = newRelationshipId();
                relationships.append({id, "hyperlink", xmltext::escaped(target), true});
            }
            body += "<w:hyperlink r:id=\"" + id + "\" w:history=\"1\">";
        }
        hyperlinkOpen = true;
        return true;
    }

    // The local file an image source names, as the page resolves it against
    // the document's folder; empty for remote and unresolvable sources.
    QString localImagePath(const QByteArray &source, bool *remote) const
    {
        *remote = false;
        const QString text = QString::fromUtf8(source).trimmed();
        if (text.isEmpty())
            return QString();
        // A Windows path with a drive letter ("C:/notes/a.png") is no URL scheme.
        if (text.size() > 2 && text[0].isLetter() && text[1] == QLatin1Char(':')
            && (text[2] == QLatin1Char('/') || text[2] == QLatin1Char('\\')))
            return text;
        const QUrl url(text, QUrl::TolerantMode);
        const QString scheme = url.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp")) {
            *remote = true;
            return QString();
        }
        if (scheme == QLatin1String("file"))
            return url.toLocalFile();
        if (!scheme.isEmpty())
            return QString();
        if (QDir::isAbsolutePath(text))
            return QFileInfo::exists(text) ? text : url.path();
        if (folder.isEmpty())
            return QString();
        const QString resolved = QUrl::fromLocalFile(QDir(folder).absolutePath() + QLatin1Char('/')).resolved(url).toLocalFile();
        // A name with a literal '%' is not percent-encoding.
        if (!QFileInfo::exists(resolved) && QFileInfo::exists(QDir(folder).filePath(text)))
            return QDir(folder).filePath(text);
        return resolved;
    }

    const Image *loadImage(const QString &path)
    {
        const QString key = QFileInfo(path).absoluteFilePath();
        const auto known = imageByPath.constFind(key);
        if (known != imageByPath.constEnd())
            return known.value() < 0 ? nullptr : &images[known.value()];
        imageByPath.insert(key, -1);
        // A pipe would block the reader, a device never end.
        if (!QFileInfo(key).isFile())
            return nullptr;

        QImageReader reader(key);
        QByteArray format = reader.format().toLower();
        QSize pixels = reader.size();
        QByteArray bytes;
        if ((format == "png" || format == "jpeg" || format == "jpg" || format == "gif" || format == "bmp")
            && pixels.isValid() && !pixels.isEmpty()) {
            // Formats Word shows are embedded as they are.
            QFile file(key);
            if (file.open(QIODevice::ReadOnly))
                bytes = file.readAll();
            if (format == "jpg")
                format = "jpeg";
        } else {
            // Others (WebP, SVG, ...) are converted to PNG, if Qt can read them.
            const QImage image = reader.read();
            if (!image.isNull()) {
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::WriteOnly);
                image.save(&buffer, "PNG");
                pixels = image.size();
                format = "png";
            }
        }
        if (bytes.isEmpty() || pixels.isEmpty())
            return nullptr;
        const QByteArray id = newRelationshipId();
        images.append({id, "image" + QByteArray::number(images.size() + 1) + "." + format, bytes, pixels});
        imageByPath.insert(key, images.size() - 1);
        return &images.last();
    }

    void endImage()
    {
        QByteArray alt = imageAlt.simplified();
        bool remote = false;
        const QString path = localImagePath(imageSource, &remote);
        const Image *image = path.isEmpty() ? nullptr : loadImage(path);
        if (image) {
            writeDrawing(*image, alt);
        } else if (remote && !hyperlinkOpen) {
            // A picture on the web becomes a link to it, named by its alt text.
            ensureParagraph();
            if (openHyperlink(imageSource)) {
                putText(alt.isEmpty() ? imageSource : alt);
                endRun();
                body += "</w:hyperlink>";
                hyperlinkOpen = false;
            } else {
                putText(alt);
            }
        } else {
            putText(alt);
        }
    }

    void writeDrawing(const Image &image, const QByteArray &alt)
    {
        // Scaled down, keeping the aspect, to fit the text width at this
        // indentation and the page height.
        qint64 cx = qint64(image.pixels.width()) * docx::emuPerPixel;
        qint64 cy = qint64(image.pixels.height()) * docx::emuPerPixel;
        const qint64 maxWidth = qint64(docx::textWidth - indent()) * docx::emuPerTwip;
        const qint64 maxHeight = qint64(docx::textHeight - 720) * docx::emuPerTwip;
        if (cx > maxWidth) {
            cy = cy * maxWidth / cx;
            cx = maxWidth;
        }
        if (cy > maxHeight) {
            cx = cx * maxHeight / cy;
            cy = maxHeight;
        }
        cx = std::max<qint64>(cx, 1);
        cy = std::max<qint64>(cy, 1);
        const QByteArray id = QByteArray::number(++drawingCount);
        const QByteArray extent = attr("cx", cx) + attr("cy", cy);
        ensureParagraph();
        endRun();
        body += "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\"><wp:extent" + extent
            + "/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/><wp:docPr" + attr("id", id)
            + attr("name", "Picture " + id) + attr("descr", xmltext::escaped(alt))
            + "/><wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/></wp:cNvGraphicFramePr>"
              "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
              "<pic:pic><pic:nvPicPr><pic:cNvPr"
            + attr("id", id) + attr("name", image.mediaName)
            + "/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:embed=\"" + image.relationshipId
            + "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/>"
              "<a:ext" + extent + "/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
              "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
    }

    // ---- MD4C callbacks

    int enterBlock(MD_BLOCKTYPE type, void *detail)
    {
        switch (type) {
        case MD_BLOCK_DOC: break;
        case MD_BLOCK_QUOTE: closeParagraph(); ++quoteDepth; break;
        case MD_BLOCK_UL:
            closeParagraph();
            lists.append({docx::bulletNumId, static_cast<MD_BLOCK_UL_DETAIL *>(detail)->is_tight != 0});
            break;
        case MD_BLOCK_OL: {
            closeParagraph();
            const auto *ol = static_cast<MD_BLOCK_OL_DETAIL *>(detail);
            numberedLists.append({std::min<int>(lists.size(), 8), ol->start});
            lists.append({docx::bulletNumId + numberedLists.size(), ol->is_tight != 0});
            break;
        }
        case MD_BLOCK_LI: {
            closeParagraph();
            const auto *li = static_cast<MD_BLOCK_LI_DETAIL *>(detail);
            items.append({li->is_task != 0, li->is_task && li->task_mark != ' ', false});
            break;
        }
        case MD_BLOCK_HR: openParagraph(Paragraph::Rule); closeParagraph(); break;
        case MD_BLOCK_H:
            openParagraph(Paragraph::Heading, int(static_cast<MD_BLOCK_H_DETAIL *>(detail)->level));
            inTitle = !titleDone;
            break;
        case MD_BLOCK_CODE: closeParagraph(); verbatim = Verbatim::Code; verbatimText.clear(); break;
        case MD_BLOCK_HTML: closeParagraph(); verbatim = Verbatim::Html; verbatimText.clear(); break;
        case MD_BLOCK_P: openParagraph(Paragraph::Body); break;
        case MD_BLOCK_TABLE: beginTable(static_cast<MD_BLOCK_TABLE_DETAIL *>(detail)); break;
        case MD_BLOCK_THEAD: headRow = true; break;
        case MD_BLOCK_TBODY: headRow = false; break;
        case MD_BLOCK_TR: beginRow(); break;
        case MD_BLOCK_TH: beginCell(static_cast<MD_BLOCK_TD_DETAIL *>(detail), true); break;
        case MD_BLOCK_TD: beginCell(static_cast<MD_BLOCK_TD_DETAIL *>(detail), false); break;
        }
        return 0;
    }

    int leaveBlock(MD_BLOCKTYPE type)
    {
        switch (type) {
        case MD_BLOCK_DOC: closeParagraph(); break;
        case MD_BLOCK_QUOTE: closeParagraph(); --quoteDepth; break;
        case MD_BLOCK_UL:
        case MD_BLOCK_OL: closeParagraph(); lists.removeLast(); break;
        case MD_BLOCK_LI:
            closeParagraph();
            // An empty item still shows its bullet.
            if (!items.last().started) {
                openParagraph(Paragraph::Body);
                closeParagraph();
            }
            items.removeLast();
            break;
        case MD_BLOCK_H:
            closeParagraph();
            if (inTitle) {
                inTitle = false;
                title = title.simplified();
                titleDone = !title.isEmpty();
            }
            break;
        case MD_BLOCK_CODE: verbatim = Verbatim::None; writeCode(); break;
        case MD_BLOCK_HTML: verbatim = Verbatim::None; writeHtml(); break;
        case MD_BLOCK_P: closeParagraph(); break;
        case MD_BLOCK_TABLE: body += "</w:tbl>"; tableJustEnded = true; break;
        // MD4C gives every row as many cells as the table has columns.
        case MD_BLOCK_TR: body += "</w:tr>"; break;
        case MD_BLOCK_TH:
        case MD_BLOCK_TD: endCell(); break;
        default: break;
        }
        return 0;
    }

    int enterSpan(MD_SPANTYPE type, void *detail)
    {
        if (imageDepth > 0) {
            // Inside an image only its alt text counts.
            if (type == MD_SPAN_IMG)
                ++imageDepth;
            return 0;
        }
        switch (type) {
        case MD_SPAN_EM: ++italic; break;
        case MD_SPAN_STRONG: ++bold; break;
        case MD_SPAN_DEL: ++strike; break;
        case MD_SPAN_CODE: ++code; break;
        case MD_SPAN_A: beginLink(static_cast<MD_SPAN_A_DETAIL *>(detail)); break;
        case MD_SPAN_IMG:
            imageDepth = 1;
            imageSource = attributeText(static_cast<MD_SPAN_IMG_DETAIL *>(detail)->src);
            imageAlt.clear();
            break;
        default: break;
        }
        return 0;
    }

    int leaveSpan(MD_SPANTYPE type)
    {
        if (imageDepth > 0) {
            if (type == MD_SPAN_IMG && --imageDepth == 0)
                endImage();
            return 0;
        }
        switch (type) {
        case MD_SPAN_EM: --italic; break;
        case MD_SPAN_STRONG: --bold; break;
        case MD_SPAN_DEL: --strike; break;
        case MD_SPAN_CODE: --code; break;
        case MD_SPAN_A: endLink(); break;
        default: break;
        }
        return 0;
    }

    int text(MD_TEXTTYPE type, const char *s, int size)
    {
        if (verbatim != Verbatim::None) {
            verbatimText.append(s, size);
            return 0;
        }
        QByteArray decoded;
        const char *plain = s;
        int plainSize = size;
        switch (type) {
        case MD_TEXT_NULLCHAR: plain = replacementCharacter; plainSize = 3; break;
        case MD_TEXT_SOFTBR: plain = " "; plainSize = 1; break;
        case MD_TEXT_ENTITY:
            decoded = xmltext::decodeEntity(s, size);
            plain = decoded.constData();
            plainSize = decoded.size();
            break;
        case MD_TEXT_BR: plain = " "; plainSize = 1; break;
        case MD_TEXT_HTML: plainSize = 0; break;
        default: break;
        }
        if (imageDepth > 0) {
            imageAlt.append(plain, plainSize);
            return 0;
        }
        if (inTitle)
            title.append(plain, plainSize);
        if (type == MD_TEXT_BR || (type == MD_TEXT_HTML && xmltext::isBreakTag(s, size)))
            putElement("<w:br/>");
        else
            putText(plain, plainSize);
        return 0;
    }
};

} // namespace

QByteArray buildDocx(const QString &markdown, const QString &documentFolder, const QString &fallbackTitle)
{
    Builder builder(documentFolder);
    {
        const QByteArray input = markdown.toUtf8();
        MD_PARSER parser{};
        parser.abi_version = 0;
        parser.flags = markdownParserFlags; // the editor's dialect
        parser.enter_block = [](MD_BLOCKTYPE type, void *detail, void *b) {
            return static_cast<Builder *>(b)->enterBlock(type, detail);
        };
        parser.leave_block = [](MD_BLOCKTYPE type, void *, void *b) { return static_cast<Builder *>(b)->leaveBlock(type); };
        parser.enter_span = [](MD_SPANTYPE type, void *detail, void *b) {
            return static_cast<Builder *>(b)->enterSpan(type, detail);
        };
        parser.leave_span = [](MD_SPANTYPE type, void *, void *b) { return static_cast<Builder *>(b)->leaveSpan(type); };
        parser.text = [](MD_TEXTTYPE type, const MD_CHAR *text, MD_SIZE size, void *b) {
            return static_cast<Builder *>(b)->text(type, text, int(size));
        };
        if (md_parse(input.constData(), MD_SIZE(input.size()), &parser, &builder) != 0)
            return QByteArray();
    }
    builder.closeParagraph();
    if (builder.body.isEmpty() || builder.tableJustEnded)
        builder.body += "<w:p/>";

    const QByteArray title = builder.title.isEmpty() ? fallbackTitle.toUtf8() : builder.title;
    QSet<QByteArray> extensions;
    QVector<docx::Relationship> relationships = builder.relationships;
    for (const Image &image : builder.images) {
        extensions.insert(image.mediaName.mid(image.mediaName.lastIndexOf('.') + 1));
        relationships.append({image.relationshipId, "image", "media/" + image.mediaName, false});
    }
    std::sort(relationships.begin(), relationships.end(), [](const auto &a, const auto &b) {
        return a.id.mid(3).toInt() < b.id.mid(3).toInt();
    });

    QByteArray package;
    QBuffer device(&package);
    KZip zip(&device);
    zip.setCompression(KZip::DeflateCompression);
    zip.setExtraField(KZip::NoExtraField);
    if (!zip.open(QIODevice::WriteOnly))
        return QByteArray();
    bool written = zip.writeFile(QStringLiteral("[Content_Types].xml"), docx::contentTypes(extensions))
        && zip.writeFile(QStringLiteral("_rels/.rels"), docx::packageRelationships())
        && zip.writeFile(QStringLiteral("docProps/core.xml"), docx::coreProperties(xmltext::escaped(title)))
        && zip.writeFile(QStringLiteral("docProps/app.xml"), docx::appProperties())
        && zip.writeFile(QStringLiteral("word/document.xml"), docx::documentStart() + builder.body + docx::documentEnd())
        && zip.writeFile(QStringLiteral("word/_rels/document.xml.rels"), docx::documentRelationships(relationships))
        && zip.writeFile(QStringLiteral("word/styles.xml"), docx::styles())
        && zip.writeFile(QStringLiteral("word/numbering.xml"), docx::numbering(builder.numberedLists))
        && zip.writeFile(QStringLiteral("word/settings.xml"), docx::settings())
        && zip.writeFile(QStringLiteral("word/fontTable.xml"), docx::fontTable());
    for (const Image &image : builder.images)
        written = written && zip.writeFile(QStringLiteral("word/media/") + QString::fromLatin1(image.mediaName), image.bytes);
    if (!zip.close() || !written)
        return QByteArray();
    return package;
}

Result writeDocx(const QString &markdown, const QString &documentFolder, const QString &targetPath)
{
    const QByteArray package = buildDocx(markdown, documentFolder, QFileInfo(targetPath).completeBaseName());
    return writePackage(package, targetPath);
}

} // namespace exporting
