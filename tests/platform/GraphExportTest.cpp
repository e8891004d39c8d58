// The exported files as other programs read them: pictures against the raster canvas (and
// rsvg-convert's, Chromium's and pdftoppm's renderings of SVG and PDF), DOT through Graphviz,
// GraphML through Qt's XML reader.

#include "GraphExport.h"
#include "Files.h"
#include "SafeFile.h"
#include "TextExport.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace {

// Directed and weighted: a paired arc, a loop, texts that every format must escape, a
// Windows-1252 name and an empty weight.
const std::string SampleGf4 = "[directed]\r\n[weighted]\r\n[black]\r\n4 6\r\n"
                              "60 60 /*a\\b{c}%d&e_f*/\r\n260 60 /*<x & \"y\">*/\r\n160 200 /*caf\xE9*/\r\n"
                              "300 220 /*Hub*/\r\n"
                              "1 2 /*1_2*/ navy\r\n2 1 /*w\"q*/ red\r\n2 2 /*loop*/ green\r\n1 3 /*13*/\r\n"
                              "3 4 /**/ fuchsia\r\n4 1 /*x*/\r\n";
constexpr int SampleEdges = 6, SampleTexts = 4 + 5; // names, and the weights that are not empty

std::unique_ptr<Tgraph> Sample() {
    auto g = std::make_unique<Tgraph>();
    LoadGraphFromText(*g, SampleGf4, "sample.gf4");
    return g;
}

QByteArray Data(const std::string& bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }

// Runs a helper program of the tests; a missing one fails the test (./test.sh installs them).
QByteArray RunTool(const QString& program, const QStringList& arguments, const QByteArray& input) {
    QProcess p;
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForStarted()) << program.toStdString() << " cannot be started; ./test.sh installs it";
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

bool Inked(const QImage& image, int x, int y) {
    const QRgb p = image.valid(x, y) ? image.pixel(x, y) : qRgb(255, 255, 255);
    return std::min({qRed(p), qGreen(p), qBlue(p)}) < 150;
}

// The share of a's inked pixels that have no inked pixel within one pixel in b.
double Unmatched(const QImage& a, const QImage& b) {
    long inked = 0, missed = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!Inked(a, x, y)) continue;
            ++inked;
            bool near = false;
            for (int d = 0; d < 9 && !near; ++d) near = Inked(b, x + d % 3 - 1, y + d / 3 - 1);
            missed += !near;
        }
    return inked == 0 ? 1.0 : static_cast<double>(missed) / inked;
}

// A rendering of a vector export is the raster picture, shape for shape, but for a few pixels of
// text set by another rasteriser; a renderer may round the size up to one pixel more.
void ExpectLooksLike(const QImage& rendered, const QImage& reference) {
    EXPECT_LE(std::abs(rendered.width() - reference.width()) + std::abs(rendered.height() - reference.height()), 2);
    const QImage cut = rendered.copy(0, 0, reference.width(), reference.height());
    EXPECT_LT(Unmatched(reference, cut), 0.01);
    EXPECT_LT(Unmatched(cut, reference), 0.01);
}

TEST(GraphExport, PicturesShowWhatTheRasterCanvasPaints) {
    const auto g = Sample();
    const QImage fitted = RasterPicture(*g, std::nullopt);
    for (TExportFormat format :
         {TExportFormat::Png, TExportFormat::Bmp, TExportFormat::Jpeg, TExportFormat::Svg, TExportFormat::Pdf}) {
        for (std::optional<TPictureSize> size :
             {std::optional<TPictureSize>(), std::optional<TPictureSize>({200, 150})}) {
            SCOPED_TRACE(static_cast<int>(format) * 10 + (size ? 1 : 0));
            const QImage reference = size ? RasterPicture(*g, size) : fitted;
            const QByteArray bytes = Data(ExportBytes(*g, format, size));
            if (format == TExportFormat::Png || format == TExportFormat::Bmp) {
                EXPECT_EQ(QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32), reference);
            } else if (format == TExportFormat::Jpeg) {
                EXPECT_EQ(QImage::fromData(bytes, "JPG").size(), reference.size());
                EXPECT_LT(Unmatched(reference, QImage::fromData(bytes, "JPG")), 0.03);
            } else if (format == TExportFormat::Svg) {
                // Well formed, one outline per vertex and per edge (a line, or a curve for a loop), texts as text.
                QXmlStreamReader xml(bytes);
                std::map<QString, int> count;
                while (!xml.atEnd())
                    if (xml.readNext() == QXmlStreamReader::StartElement)
                        ++count[xml.name() == QLatin1String("path") &&
                                        xml.attributes().value(QLatin1String("d")).contains(QLatin1Char('C'))
                                    ? QStringLiteral("curve")
                                    : xml.name().toString()];
                EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
                EXPECT_EQ(count[QStringLiteral("circle")], 4);
                EXPECT_EQ(count[QStringLiteral("polyline")] + count[QStringLiteral("curve")], SampleEdges);
                EXPECT_EQ(count[QStringLiteral("text")], SampleTexts);
                ExpectLooksLike(QImage::fromData(RunTool(QStringLiteral("rsvg-convert"), {}, bytes)), reference);
            } else {
                EXPECT_TRUE(bytes.startsWith("%PDF-"));
                const QStringList options{QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                          QStringLiteral("-singlefile")};
                ExpectLooksLike(QImage::fromData(RunTool(QStringLiteral("pdftoppm"), options, bytes)), reference);
            }
        }
    }
    // The fitted picture is the smallest: its last inked column and row lie just inside the margin.
    auto inkedAt = [&](bool column, int at) {
        for (int i = 0; i < (column ? fitted.height() : fitted.width()); ++i)
            if (fitted.pixel(column ? at : i, column ? i : at) != qRgb(255, 255, 255)) return true;
        return false;
    };
    for (int m = 1; m <= 11; ++m) {
        EXPECT_EQ(inkedAt(true, fitted.width() - m), m == 11) << m;
        EXPECT_EQ(inkedAt(false, fitted.height() - m), m == 11) << m;
    }
}

// A cropped picture holds the drawing alone with a margin on every side, and its pixels are those
// of the picture from the surface's corner, whatever the shift (odd coordinates among them).
// A BMP file written band by band as it is painted, from the bottom band up, is the file of the
// whole picture, byte for byte, whether the bands are many or one.
TEST(GraphExport, BmpWrittenBandByBandIsTheWholePicturesFile) {
    const auto g = Sample();
    TempFolder folder;
    for (const TPictureSize size : {TPictureSize{300, 2100}, TPictureSize{641, 97}}) {
        SCOPED_TRACE(size.height);
        const std::string path = folder.File("out.bmp");
        ASSERT_NO_THROW(ExportToFile(*g, TExportFormat::Bmp, size, path));
        EXPECT_EQ(ReadBytes(path), ExportBytes(*g, TExportFormat::Bmp, size));
    }
}

TEST(GraphExport, CropShowsTheDrawingAloneWithTheSamePixels) {
    for (const int shift : {3001, 2, -55}) {
        SCOPED_TRACE(shift);
        auto g = Sample();
        MoveAllVertices(*g, shift, shift + 1);
        const QImage full = RasterPicture(*g, TPictureSize{4000, 4000});
        const TPictureSize size = CropGraph(*g);
        const QImage cropped = RasterPicture(*g, size);
        auto firstInk = [](const QImage& image) { // top left of the inked box
            QPoint at(image.width(), image.height());
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (Inked(image, x, y)) at = QPoint(std::min(at.x(), x), std::min(at.y(), y));
            return at;
        };
        // The margin is 10 or 11 pixels from the box, which holds the white cells of the texts too.
        const QPoint inCrop = firstInk(cropped), fromEnd = firstInk(cropped.mirrored(true, true));
        for (const int margin : {inCrop.x(), inCrop.y(), fromEnd.x(), fromEnd.y()})
            EXPECT_TRUE(margin >= 10 && margin <= 13) << margin;
        if (shift < 0) continue; // the picture from the corner has lost what lies left of and above it
        const QPoint offset = firstInk(full) - inCrop;
        EXPECT_EQ(cropped, full.copy(offset.x(), offset.y(), size.width, size.height));
    }
}

// A browser engine shows the SVG file as the raster canvas paints the graph; and the file is well
// formed whatever the names hold: control characters, a character XML refuses, markup.
TEST(GraphExport, SvgInABrowserAndWithHostileNames) {
    auto g = Sample();
    g->vertices[1].name = std::string("a\x01\x1f\x7f<&>]]>\"'") + "\xEF\xBF\xBE" + "\xC3\xA9\xF0\x9F\x98\x80";
    g->vertices[2].name = "\xFF\xFE caf\xE9 \x81";
    QXmlStreamReader xml(Data(ExportBytes(*g, TExportFormat::Svg, std::nullopt)));
    int texts = 0;
    while (!xml.atEnd())
        texts += xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text");
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(texts, SampleTexts);

    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) GTEST_SKIP() << "chromium is not installed; ./test.sh installs it";
    g = Sample();
    const QImage reference = RasterPicture(*g, std::nullopt);
    TempFolder dir;
    QFile svg(QString::fromStdString(dir.File("g.svg")));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write(Data(ExportBytes(*g, TExportFormat::Svg, std::nullopt)));
    svg.close();
    const QString shot = QString::fromStdString(dir.File("shot.png"));
    RunTool(chromium,
            {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
             QStringLiteral("--hide-scrollbars"),
             QStringLiteral("--user-data-dir=") + QString::fromStdString(dir.File("profile")),
             QStringLiteral("--window-size=%1,%2").arg(reference.width()).arg(reference.height()),
             QStringLiteral("--screenshot=") + shot, QStringLiteral("file://") + svg.fileName()},
            {});
    ExpectLooksLike(QImage(shot), reference);
}

// A name of 200 000 characters: the vector files hold the characters near the picture, not all.
TEST(GraphExport, VectorFilesHoldOnlyTheCharactersThatCanShow) {
    auto g = Sample();
    g->vertices[2].name = std::string(200000, 'n') + "END";
    const std::string svg = ExportBytes(*g, TExportFormat::Svg, TPictureSize{400, 300});
    EXPECT_LT(svg.size(), 8000u);
    EXPECT_EQ(svg.find("END"), std::string::npos); // far right of the picture
    QXmlStreamReader xml(Data(svg));
    while (!xml.atEnd()) xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_LT(ExportBytes(*g, TExportFormat::Pdf, TPictureSize{400, 300}).size(), 40000u);
}

// Graphviz reads the DOT file: the same nodes with their names, the same edges with their weights
// and colours (dot -Tplain quotes a field that holds spaces or quotes).
TEST(GraphExport, GraphvizReadsTheDotFile) {
    const auto g = Sample();
    const QList<QByteArray> lines =
        RunTool(QStringLiteral("dot"), {QStringLiteral("-Tplain")}, Data(ExportBytes(*g, TExportFormat::Dot, {})))
            .split('\n');
    const std::vector<std::vector<QByteArray>> expected = {
        {"node 1 ", " \"a\\\\b{c}%d&e_f\" "},   {"node 2 ", " \"<x & \\\"y\\\">\" "},
        {"node 3 ", " caf\xC3\xA9 "},           {"node 4 ", " Hub "},
        {"edge 1 2 ", " \"1_2\" ", " #000080"}, {"edge 2 1 ", " \"w\\\"q\" ", " #FF0000"},
        {"edge 2 2 ", " loop ", " #008000"},    {"edge 1 3 ", " 13 ", " #000000"},
        {"edge 3 4 ", " solid #FF00FF"},        {"edge 4 1 ", " x ", " #000000"}};
    for (const auto& parts : expected) {
        const auto line =
            std::find_if(lines.begin(), lines.end(), [&](const QByteArray& l) { return l.startsWith(parts[0]); });
        ASSERT_NE(line, lines.end()) << parts[0].toStdString();
        for (const QByteArray& part : parts)
            EXPECT_TRUE(line->contains(part)) << line->toStdString() << " lacks " << part.toStdString();
    }
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const QByteArray& l) { return l.startsWith("edge "); }),
              SampleEdges);
}

// Qt's XML reader reads the GraphML file back into the same vertices and edges.
TEST(GraphExport, GraphMLReadsBackIntoTheSameGraph) {
    const auto g = Sample();
    QXmlStreamReader xml(Data(ExportBytes(*g, TExportFormat::GraphML, {})));
    std::map<QString, QString> keyName; // key id -> attribute name
    QStringList read;                   // "node id: name x y", "edge source target: weight color"
    QString item;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QXmlStreamAttributes a = xml.attributes();
        const auto at = [&](const char* name) { return a.value(QLatin1String(name)).toString(); };
        if (xml.name() == QLatin1String("key")) keyName[at("id")] = at("attr.name");
        if (xml.name() == QLatin1String("graph")) read << at("edgedefault");
        if (xml.name() == QLatin1String("node")) read << QStringLiteral("node ") + at("id") + QLatin1Char(':');
        if (xml.name() == QLatin1String("edge")) read << QStringLiteral("edge %1 %2:").arg(at("source"), at("target"));
        if (xml.name() == QLatin1String("data"))
            read.last() += QLatin1Char(' ') + keyName[at("key")] + QLatin1Char('=') + xml.readElementText();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    // Edges in the file's order: each vertex's list, newest first.
    // Names twice (name, label), and the Windows-1252 name once more as its exact bytes.
    EXPECT_EQ(read,
              (QStringList{QStringLiteral("directed nodeloom.weighted=true nodeloom.base=black nodeloom.edges=6"),
                           QStringLiteral("node n1: name=a\\b{c}%d&e_f label=a\\b{c}%d&e_f x=60 y=60"),
                           QStringLiteral("node n2: name=<x & \"y\"> label=<x & \"y\"> x=260 y=60"),
                           QStringLiteral("node n3: name=caf\u00e9 label=caf\u00e9 nodeloom.name=caf%E9 x=160 y=200"),
                           QStringLiteral("node n4: name=Hub label=Hub x=300 y=220"),
                           QStringLiteral("edge n1 n3: weight=13 color=#000000"),
                           QStringLiteral("edge n1 n2: weight=1_2 color=#000080"),
                           QStringLiteral("edge n2 n2: weight=loop color=#008000"),
                           QStringLiteral("edge n2 n1: weight=w\"q color=#FF0000"),
                           QStringLiteral("edge n3 n4: weight= color=#FF00FF"),
                           QStringLiteral("edge n4 n1: weight=x color=#000000")}));
}

} // namespace

namespace {

// The PDF page is the picture's size exactly, not rounded to whole points, as pdfinfo reads it;
// the file stays whole (its table of offsets is moved with the page box).
TEST(GraphExport, PdfPageIsThePicturesSizeExactly) {
    const auto g = Sample();
    for (const TPictureSize size : {TPictureSize{101, 77}, TPictureSize{133, 201}, TPictureSize{400, 300}}) {
        QTemporaryFile file;
        ASSERT_TRUE(file.open());
        file.write(Data(ExportBytes(*g, TExportFormat::Pdf, size)));
        file.close();
        const QString info = QString::fromUtf8(RunTool(QStringLiteral("pdfinfo"), {file.fileName()}, {}));
        const QString expected =
            QStringLiteral("Page size:       %1 x %2 pts").arg(size.width * 0.75).arg(size.height * 0.75);
        EXPECT_TRUE(info.contains(expected)) << info.toStdString() << "\nlacks " << expected.toStdString();
        EXPECT_FALSE(info.contains(QStringLiteral("rror"))) << info.toStdString();
    }
}

} // namespace

namespace {

// SVG and GraphML are well-formed XML whatever a name holds: C0 controls and U+FFFF become spaces.
TEST(GraphExport, XmlExportsAreWellFormedWhateverANameHolds) {
    auto g = Sample();
    g->vertices[1].name = std::string("a\x01"
                                      "b\x1F\xEF\xBF\xBF"
                                      "c\x0B\x00",
                                      10);
    for (TExportFormat format : {TExportFormat::Svg, TExportFormat::GraphML}) {
        QXmlStreamReader xml(Data(ExportBytes(*g, format, {})));
        while (!xml.atEnd()) xml.readNext();
        EXPECT_FALSE(xml.hasError()) << static_cast<int>(format) << ": " << xml.errorString().toStdString();
    }
}

} // namespace
