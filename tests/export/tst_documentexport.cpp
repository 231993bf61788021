// Word and OpenDocument exports: the written packages are opened with the same
// zip library and their parts read back, one construct family per test, from
// one sample document that holds every construct.

#include "export/documentexport.h"
#include "support/faults.h"

#include <KZip>

#include <QtTest>
#include <QXmlStreamReader>

namespace {

const QString sampleFolder = QStringLiteral(VELTRANE_TEST_DATA "/export/sample");

struct Package
{
    QMap<QString, QByteArray> parts;

    static Package open(const QString &path)
    {
        Package package;
        KZip zip(path);
        if (!zip.open(QIODevice::ReadOnly))
            return package;
        std::function<void(const KArchiveDirectory *, const QString &)> walk = [&](const KArchiveDirectory *dir,
                                                                                     const QString &prefix) {
            for (const QString &name : dir->entries()) {
                const KArchiveEntry *entry = dir->entry(name);
                if (entry->isDirectory())
                    walk(static_cast<const KArchiveDirectory *>(entry), prefix + name + QLatin1Char('/'));
                else
                    package.parts.insert(prefix + name, static_cast<const KArchiveFile *>(entry)->data());
            }
        };
        walk(zip.directory(), QString());
        return package;
    }
};

// A paragraph of document.xml as the tests look at it.
struct Paragraph
{
    QString style;
    int numId = -1;
    int ilvl = -1;
    int indent = 0;
    QString jc;
    bool inTable = false;
    bool headerRow = false;
    bool bottomBorder = false;
    QString text; // w:br as '\n', w:tab as '\t'
    QStringList runs; // "text|props" with props such as b, i, strike, style names
    QStringList hyperlinks; // r:id or "#anchor" of each hyperlink
};

QVector<Paragraph> paragraphs(const QByteArray &documentXml)
{
    QVector<Paragraph> out;
    QXmlStreamReader xml(documentXml);
    Paragraph current;
    QString runProps;
    QString runText;
    bool headerRow = false;
    int tableDepth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringRef name = xml.qualifiedName();
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.isStartElement()) {
            if (name == QLatin1String("w:tbl"))
                ++tableDepth;
            else if (name == QLatin1String("w:tr"))
                headerRow = false;
            else if (name == QLatin1String("w:tblHeader"))
                headerRow = true;
            else if (name == QLatin1String("w:p"))
                current = Paragraph{};
            else if (name == QLatin1String("w:pStyle"))
                current.style = a.value(QLatin1String("w:val")).toString();
            else if (name == QLatin1String("w:numId"))
                current.numId = a.value(QLatin1String("w:val")).toInt();
            else if (name == QLatin1String("w:ilvl"))
                current.ilvl = a.value(QLatin1String("w:val")).toInt();
            else if (name == QLatin1String("w:ind"))
                current.indent = a.value(QLatin1String("w:left")).toInt();
            else if (name == QLatin1String("w:jc"))
                current.jc = a.value(QLatin1String("w:val")).toString();
            else if (name == QLatin1String("w:bottom"))
                current.bottomBorder = true;
            else if (name == QLatin1String("w:hyperlink"))
                current.hyperlinks << (a.hasAttribute(QLatin1String("r:id")) ? a.value(QLatin1String("r:id")).toString()
                                                                              : QLatin1Char('#') + a.value(QLatin1String("w:anchor")));
            else if (name == QLatin1String("w:r"))
                runProps.clear(), runText.clear();
            else if (name == QLatin1String("w:b") || name == QLatin1String("w:i") || name == QLatin1String("w:strike"))
                runProps += name.mid(2) + QLatin1Char(' ');
            else if (name == QLatin1String("w:rStyle"))
                runProps += a.value(QLatin1String("w:val")) + QLatin1Char(' ');
            else if (name == QLatin1String("w:t"))
                runText += xml.readElementText();
            else if (name == QLatin1String("w:br"))
                runText += QLatin1Char('\n');
            else if (name == QLatin1String("w:tab"))
                runText += QLatin1Char('\t');
            else if (name == QLatin1String("a:blip"))
                runText += QLatin1String("[image ") + a.value(QLatin1String("r:embed")) + QLatin1Char(']');
        } else if (xml.isEndElement()) {
            if (name == QLatin1String("w:r")) {
                current.text += runText;
                current.runs << runText + QLatin1Char('|') + runProps.trimmed();
            } else if (name == QLatin1String("w:p")) {
                current.inTable = tableDepth > 0;
                current.headerRow = headerRow && tableDepth > 0;
                out << current;
            } else if (name == QLatin1String("w:tbl")) {
                --tableDepth;
            }
        }
    }
    return out;
}

const Paragraph *find(const QVector<Paragraph> &list, const QString &start)
{
    for (const Paragraph &p : list)
        if (p.text.startsWith(start))
            return &p;
    return nullptr;
}

QString runProps(const Paragraph &p, const QString &text)
{
    for (const QString &run : p.runs)
        if (run.section(QLatin1Char('|'), 0, 0) == text)
            return run.section(QLatin1Char('|'), 1);
    return QStringLiteral("<no run>");
}

// Id -> target of every relationship of document.xml.
QMap<QString, QString> relationships(const QByteArray &rels)
{
    QMap<QString, QString> out;
    QXmlStreamReader xml(rels);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("Relationship")) {
            const QXmlStreamAttributes a = xml.attributes();
            QString target = a.value(QLatin1String("Target")).toString();
            if (a.value(QLatin1String("TargetMode")) == QLatin1String("External"))
                target.prepend(QLatin1String("external:"));
            out.insert(a.value(QLatin1String("Id")).toString(), target);
        }
    }
    return out;
}

QString attributeOf(const QByteArray &xmlText, const QString &element, const QString &attribute, int nth = 0)
{
    QXmlStreamReader xml(xmlText);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.qualifiedName() == element && nth-- == 0)
            return xml.attributes().value(attribute).toString();
    }
    return QString();
}

} // namespace

class TestDocumentExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void packageIsComplete();
    void headingsAndInlineText();
    void links();
    void lists();
    void tables();
    void codeQuotesAndRules();
    void images();
    void rawHtmlKeepsOnlyText();
    void failuresAreReportedAndLeaveTheTarget();
    void openDocumentText();

private:
    QTemporaryDir temp;
    Package sample;
    QVector<Paragraph> body;
    QMap<QString, QString> rels;
};

void TestDocumentExport::initTestCase()
{
    QVERIFY(temp.isValid());
    QFile file(sampleFolder + QStringLiteral("/sample.md"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString target = temp.filePath(QStringLiteral("sample.docx"));
    const exporting::Result result = exporting::writeDocx(QString::fromUtf8(file.readAll()), sampleFolder, target);
    QVERIFY2(result.ok, qPrintable(result.error));
    sample = Package::open(target);
    QVERIFY(sample.parts.contains(QStringLiteral("word/document.xml")));
    body = paragraphs(sample.parts.value(QStringLiteral("word/document.xml")));
    rels = relationships(sample.parts.value(QStringLiteral("word/_rels/document.xml.rels")));
}

void TestDocumentExport::packageIsComplete()
{
    // Characters XML cannot carry must not break the part that holds them.
    const QString target = temp.filePath(QStringLiteral("controls.docx"));
    QVERIFY(exporting::writeDocx(QStringLiteral("Bell \x07 vertical \x0B tab\n\n```\nnon \uFFFE char\n```\n"),
                                 QString(), target).ok);
    for (const Package &package : {sample, Package::open(target)}) {
        // Every part is well-formed XML, every overridden part exists, and every
        // internal relationship points at a part of the package.
        for (auto part = package.parts.cbegin(); part != package.parts.cend(); ++part) {
            if (part.key().startsWith(QLatin1String("word/media/")))
                continue;
            QXmlStreamReader xml(part.value());
            while (!xml.atEnd())
                xml.readNext();
            QVERIFY2(!xml.hasError(), qPrintable(part.key() + QLatin1String(": ") + xml.errorString()));
        }
        const QByteArray types = package.parts.value(QStringLiteral("[Content_Types].xml"));
        for (int i = 0;; ++i) {
            const QString partName = attributeOf(types, QStringLiteral("Override"), QStringLiteral("PartName"), i);
            if (partName.isEmpty())
                break;
            QVERIFY2(package.parts.contains(partName.mid(1)), qPrintable(partName));
        }
        for (const QString &target : relationships(package.parts.value(QStringLiteral("word/_rels/document.xml.rels"))))
            if (!target.startsWith(QLatin1String("external:")))
                QVERIFY2(package.parts.contains(QStringLiteral("word/") + target), qPrintable(target));
    }
    QVERIFY(find(paragraphs(Package::open(target).parts.value(QStringLiteral("word/document.xml"))),
                 QStringLiteral("non  char")));
    // Title from the first heading; without one, from the file name.
    QVERIFY(sample.parts.value(QStringLiteral("docProps/core.xml")).contains("<dc:title>Veltrane export sample</dc:title>"));
    QVERIFY(Package::open(target).parts.value(QStringLiteral("docProps/core.xml")).contains("<dc:title>controls</dc:title>"));
    QVERIFY(sample.parts.value(QStringLiteral("[Content_Types].xml")).contains("Extension=\"png\" ContentType=\"image/png\""));
}

void TestDocumentExport::headingsAndInlineText()
{
    const QByteArray styles = sample.parts.value(QStringLiteral("word/styles.xml"));
    const QStringList headings = {QStringLiteral("Veltrane export sample"), QStringLiteral("Links 链接"),
                                  QStringLiteral("Lists"), QStringLiteral("Table"), QStringLiteral("Code"),
                                  QStringLiteral("Quotes and rules")};
    for (int level = 1; level <= 6; ++level) {
        const Paragraph *p = find(body, headings[level - 1]);
        QVERIFY(p);
        QCOMPARE(p->style, QStringLiteral("Heading%1").arg(level));
        // The built-in name and an outline level make it a heading for Word
        // and LibreOffice alike.
        QVERIFY(styles.contains(QStringLiteral("w:styleId=\"Heading%1\"><w:name w:val=\"heading %1\"/>").arg(level).toUtf8()));
        QCOMPARE(attributeOf(styles, QStringLiteral("w:outlineLvl"), QStringLiteral("w:val"), level - 1),
                 QString::number(level - 1));
    }
    const Paragraph *p = find(body, QStringLiteral("A paragraph with"));
    QVERIFY(p);
    QCOMPARE(p->style, QString());
    QCOMPARE(runProps(*p, QStringLiteral("bold")), QStringLiteral("b"));
    QCOMPARE(runProps(*p, QStringLiteral("italic")), QStringLiteral("i"));
    QCOMPARE(runProps(*p, QStringLiteral("both")), QStringLiteral("b i"));
    QCOMPARE(runProps(*p, QStringLiteral("struck")), QStringLiteral("strike"));
    QCOMPARE(runProps(*p, QStringLiteral("inline code")), QStringLiteral("InlineCode"));
    QVERIFY(p->text.contains(QStringLiteral("soft line break here and a hard break at the end of this line\nthat continues")));
    QVERIFY(p->text.endsWith(QStringLiteral("Entities: © & 中文 &unknown;.")));
    QVERIFY(find(body, QStringLiteral("中文段落：导出的文档应当保留中文字符。")));
}

void TestDocumentExport::links()
{
    const Paragraph *p = find(body, QStringLiteral("A titled link"));
    QVERIFY(p);
    QStringList targets;
    for (const QString &id : p->hyperlinks)
        targets << (id.startsWith(QLatin1Char('#')) ? id : rels.value(id));
    QCOMPARE(targets, QStringList({QStringLiteral("external:https://example.org/docs?a=1&b=2"),
                                   QStringLiteral("external:https://example.org/a%20path"), QStringLiteral("#top"),
                                   QStringLiteral("external:https://example.com/bare"),
                                   QStringLiteral("external:http://www.example.net"),
                                   QStringLiteral("external:mailto:mail@example.com")}));
    QCOMPARE(runProps(*p, QStringLiteral("titled link")), QStringLiteral("Hyperlink"));
}

void TestDocumentExport::lists()
{
    const QByteArray numbering = sample.parts.value(QStringLiteral("word/numbering.xml"));
    auto startOf = [&](int numId) {
        QXmlStreamReader xml(numbering);
        bool inNum = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("w:num"))
                inNum = xml.attributes().value(QLatin1String("w:numId")).toInt() == numId;
            if (inNum && xml.isStartElement() && xml.qualifiedName() == QLatin1String("w:startOverride"))
                return xml.attributes().value(QLatin1String("w:val")).toInt();
        }
        return -1;
    };
    struct Expected { const char *text; int ilvl; int start; };
    // Bullets share the bulleted numbering; each numbered list has its own,
    // starting at its first number.
    const Expected expected[] = {
        {"First bullet", 0, -1}, {"Nested bullet", 1, -1}, {"Third level", 2, -1},
        {"Back to the first level", 0, -1}, {"Starts at three", 0, 3}, {"Nested numbers restart", 1, 1},
        {"Five", 0, 3}, {"A new list starts again at one", 0, 1},
    };
    QSet<int> numberedIds;
    for (const Expected &e : expected) {
        const Paragraph *p = find(body, QString::fromUtf8(e.text));
        QVERIFY2(p, e.text);
        QCOMPARE(p->ilvl, e.ilvl);
        QCOMPARE(p->indent, 720 * (e.ilvl + 1));
        QCOMPARE(startOf(p->numId), e.start);
        if (e.start >= 0)
            numberedIds.insert(p->numId);
    }
    QCOMPARE(numberedIds.size(), 3);
    QCOMPARE(attributeOf(numbering, QStringLiteral("w:numFmt"), QStringLiteral("w:val"), 0), QStringLiteral("bullet"));
    QCOMPARE(attributeOf(numbering, QStringLiteral("w:numFmt"), QStringLiteral("w:val"), 9), QStringLiteral("decimal"));

    // Task items show their box instead of a bullet; a later paragraph of an
    // item is indented under it without a number.
    for (const QString &task : {QStringLiteral("☐\tAn open task"), QStringLiteral("☒\tA finished task")}) {
        const Paragraph *p = find(body, task);
        QVERIFY2(p, qPrintable(task));
        QCOMPARE(p->numId, -1);
        QCOMPARE(p->indent, 720);
    }
    const Paragraph *second = find(body, QStringLiteral("with a second paragraph."));
    QVERIFY(second);
    QCOMPARE(second->numId, -1);
    QCOMPARE(second->indent, 720);
    QCOMPARE(find(body, QStringLiteral("First bullet"))->style, QStringLiteral("ListParagraph"));
    QCOMPARE(find(body, QStringLiteral("A loose item"))->style, QString());
}

void TestDocumentExport::tables()
{
    const QByteArray document = sample.parts.value(QStringLiteral("word/document.xml"));
    QCOMPARE(document.count("<w:gridCol "), 3);
    QCOMPARE(attributeOf(document, QStringLiteral("w:insideV"), QStringLiteral("w:val")), QStringLiteral("single"));
    QVector<Paragraph> cells;
    for (const Paragraph &p : body)
        if (p.inTable)
            cells << p;
    // Header row, then three body rows; the short last row is padded to the grid.
    QCOMPARE(cells.size(), 12);
    QStringList texts, alignments;
    for (const Paragraph &p : cells)
        texts << p.text, alignments << p.jc;
    QCOMPARE(texts, QStringList({"Left", "Centre", "Right", "a", "b", "1.00", "long cell text", "c", "22.50",
                                 "short", "", ""}));
    QCOMPARE(alignments.mid(0, 9), QStringList({"", "center", "right", "", "center", "right", "", "center", "right"}));
    QVERIFY(cells[0].headerRow && !cells[3].headerRow);
    QCOMPARE(runProps(cells[0], QStringLiteral("Left")), QStringLiteral("b"));
    QCOMPARE(runProps(cells[4], QStringLiteral("b")), QStringLiteral("b"));
    QCOMPARE(runProps(cells[7], QStringLiteral("c")), QStringLiteral("InlineCode"));
}

void TestDocumentExport::codeQuotesAndRules()
{
    QVector<Paragraph> code;
    for (const Paragraph &p : body)
        if (p.style == QLatin1String("SourceCode"))
            code << p;
    QCOMPARE(code.size(), 2);
    QCOMPARE(code[0].text, QStringLiteral("int main()\n{\n    return 0;\t// a tab before this comment\n"
                                          "    // four spaces: <kept> & \"escaped\"\n}"));
    QCOMPARE(code[1].text, QStringLiteral("indented code block"));
    QVERIFY(sample.parts.value(QStringLiteral("word/styles.xml")).contains("w:fill=\"F6F8FA\""));

    const Paragraph *quote = find(body, QStringLiteral("A quoted paragraph over two lines."));
    const Paragraph *nested = find(body, QStringLiteral("A nested quote."));
    QVERIFY(quote && nested);
    QCOMPARE(quote->style, QStringLiteral("Quote"));
    QCOMPARE(nested->style, QStringLiteral("Quote"));
    QVERIFY(nested->indent > quote->indent);

    int rules = 0;
    for (const Paragraph &p : body)
        rules += p.bottomBorder && p.text.isEmpty() && p.style.isEmpty() ? 1 : 0;
    QCOMPARE(rules, 1);
}

void TestDocumentExport::images()
{
    QCOMPARE(rels.value(QStringLiteral("rId10")), QStringLiteral("media/image1.png"));
    QFile banner(sampleFolder + QStringLiteral("/images/banner.png"));
    QVERIFY(banner.open(QIODevice::ReadOnly));
    QCOMPARE(sample.parts.value(QStringLiteral("word/media/image1.png")), banner.readAll());
    QVERIFY(sample.parts.contains(QStringLiteral("word/media/image2.png"))); // "small%20icon.png"

    const QByteArray document = sample.parts.value(QStringLiteral("word/document.xml"));
    // 1600 x 200 pixels scaled to the text width; 96 x 96 kept at 96 dpi.
    const qint64 textWidthEmu = (11906 - 2 * 1440) * 635;
    QCOMPARE(attributeOf(document, QStringLiteral("wp:extent"), QStringLiteral("cx"), 0).toLongLong(), textWidthEmu);
    QCOMPARE(attributeOf(document, QStringLiteral("wp:extent"), QStringLiteral("cy"), 0).toLongLong(), textWidthEmu / 8);
    QCOMPARE(attributeOf(document, QStringLiteral("wp:extent"), QStringLiteral("cx"), 1).toLongLong(), 96 * 9525);
    QCOMPARE(attributeOf(document, QStringLiteral("wp:docPr"), QStringLiteral("descr"), 0), QStringLiteral("A wide banner"));

    // A remote picture is a link named by its alt text; a missing one leaves its alt text.
    const Paragraph *p = find(body, QStringLiteral("a small one in running text"));
    QVERIFY(p);
    QCOMPARE(p->text, QStringLiteral("a small one in running text [image rId11] and a remote one Remote logo, "
                                     "and a missing one gone."));
    QCOMPARE(p->hyperlinks.size(), 1);
    QCOMPARE(rels.value(p->hyperlinks[0]), QStringLiteral("external:https://example.org/logo.png"));

#ifdef Q_OS_UNIX
    // A pipe would block the export for good: it is no picture, and is left out.
    Faults::Pipe pipe(temp.filePath(QStringLiteral("pipe.png")));
    QVERIFY(pipe.isMade());
    const QString target = temp.filePath(QStringLiteral("pipe.docx"));
    QVERIFY(exporting::writeDocx(QStringLiteral("![a pipe](pipe.png) ![a device](/dev/zero)\n"), temp.path(), target).ok);
    const Package package = Package::open(target);
    QVERIFY(find(paragraphs(package.parts.value(QStringLiteral("word/document.xml"))), QStringLiteral("a pipe a device")));
    QVERIFY(!package.parts.contains(QStringLiteral("word/media/image1.png")));
    QVERIFY(!pipe.wasOpened());
#endif
}

void TestDocumentExport::rawHtmlKeepsOnlyText()
{
    QVERIFY(find(body, QStringLiteral("Raw HTML block keeps its text\nand a line break.")));
    QVERIFY(find(body, QStringLiteral("Inline HTML tags vanish, their text stays.")));
    // A quote in an unquoted attribute value opens nothing.
    QVERIFY(find(body, QStringLiteral("Tom's raw paragraph keeps its text.")));
    for (const Paragraph &p : body)
        QVERIFY2((!p.text.contains(QLatin1String("alert")) && !p.text.contains(QLatin1Char('<')))
                     || p.style == QLatin1String("SourceCode"),
                 qPrintable(p.text));
}

void TestDocumentExport::failuresAreReportedAndLeaveTheTarget()
{
    const QString missingFolder = temp.filePath(QStringLiteral("no/such/folder/out.docx"));
    exporting::Result result = exporting::writeDocx(QStringLiteral("# x"), QString(), missingFolder);
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(!QFile::exists(missingFolder));

    // A folder in the target's place stays as it was.
    const QString folder = temp.filePath(QStringLiteral("taken.odt"));
    QVERIFY(QDir().mkpath(folder));
    result = exporting::writeOdt(QStringLiteral("# x"), QString(), folder);
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(QFileInfo(folder).isDir());

    // A full disk fails the export and keeps the earlier file whole.
    const QString small = temp.filePath(QStringLiteral("small"));
    Faults::SmallDisk disk(small, 64);
    if (!disk.isMounted())
        return;
    const QString earlier = small + QStringLiteral("/earlier.docx");
    QVERIFY(exporting::writeDocx(QStringLiteral("# earlier"), QString(), earlier).ok);
    const QByteArray before = Package::open(earlier).parts.value(QStringLiteral("word/document.xml"));
    disk.fill();
    result = exporting::writeDocx(QString(20000, QLatin1Char('x')) + QStringLiteral("\n\n```\n")
                                      + QString(20000, QLatin1Char('y')) + QStringLiteral("\n```\n"),
                                  QString(), earlier);
    QVERIFY(!result.ok);
    QCOMPARE(Package::open(earlier).parts.value(QStringLiteral("word/document.xml")), before);
}

void TestDocumentExport::openDocumentText()
{
    QFile file(sampleFolder + QStringLiteral("/sample.md"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString target = temp.filePath(QStringLiteral("sample.odt"));
    const exporting::Result result = exporting::writeOdt(QString::fromUtf8(file.readAll()), sampleFolder, target);
    QVERIFY2(result.ok, qPrintable(result.error));
    const Package odt = Package::open(target);
    QCOMPARE(odt.parts.value(QStringLiteral("mimetype")), QByteArray("application/vnd.oasis.opendocument.text"));
    const QByteArray content = odt.parts.value(QStringLiteral("content.xml"));
    QVERIFY(content.contains("Veltrane export sample"));
    QVERIFY(content.contains("\xE2\x98\x92 A finished task")); // the ticked box
    QVERIFY(content.contains("line-through"));                 // strikethrough kept
    // Both local pictures embedded, the wide one no wider than the page.
    int pictures = 0;
    for (const QString &name : odt.parts.keys())
        pictures += name.startsWith(QLatin1String("Pictures/")) ? 1 : 0;
    QCOMPARE(pictures, 2);
    const QRegularExpression width(QStringLiteral("svg:width=\"([0-9.]+)pt\""));
    int widths = 0;
    for (auto match = width.globalMatch(QString::fromUtf8(content)); match.hasNext(); ++widths)
        QVERIFY(match.next().captured(1).toDouble() <= 453.5);
    QCOMPARE(widths, 2);

    // What Qt's writer leaves out: outline headings on "Heading N" styles, the
    // rule's border, the title; and the mimetype first and stored, as readers expect.
    QStringList headings;
    QXmlStreamReader xml(content);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.qualifiedName() != QLatin1String("text:h"))
            continue;
        const QString level = xml.attributes().value(QStringLiteral("text:outline-level")).toString();
        headings << level + QLatin1Char(' ') + xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    QCOMPARE(headings.value(0), QStringLiteral("1 Veltrane export sample"));
    QCOMPARE(headings.size(), 6);
    for (int level = 1; level <= 6; ++level) {
        QVERIFY(content.contains(QStringLiteral("style:parent-style-name=\"Heading_20_%1\"").arg(level).toUtf8()));
        QVERIFY(odt.parts.value(QStringLiteral("styles.xml")).contains(QStringLiteral("\"Heading_20_%1\"").arg(level).toUtf8()));
    }
    QVERIFY(content.contains("fo:border-bottom="));
    QVERIFY(odt.parts.value(QStringLiteral("meta.xml")).contains("<dc:title>Veltrane export sample</dc:title>"));
    QVERIFY(odt.parts.value(QStringLiteral("META-INF/manifest.xml")).contains("full-path=\"meta.xml\""));
    QFile raw(target);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.read(38 + 39).mid(30), QByteArray("mimetypeapplication/vnd.oasis.opendocument.text"));
}

int main(int argc, char **argv)
{
    // Fonts and images need a GUI application, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestDocumentExport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_documentexport.moc"
