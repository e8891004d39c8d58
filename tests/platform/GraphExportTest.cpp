// The exported files as other programs read them: pictures against the raster canvas (and
// rsvg-convert's and pdftoppm's renderings of SVG and PDF), DOT through Graphviz, GraphML
// through Qt's XML reader.

#include "GraphExport.h"
#include "RasterCanvas.h"
#include "TextExport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

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
QByteArray RunTool(const QString& program, const QStringList& arguments, const QByteArray& input = {}) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForStarted()) {
        ADD_FAILURE() << program.toStdString() << " cannot be started; ./test.sh installs it";
        return {};
    }
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

QImage Reference(const Tgraph& g, TPictureSize size) {
    QImage picture(size.width, size.height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    TRasterCanvas canvas(picture);
    DrawGraph(g, canvas);
    return picture;
}

bool Inked(QRgb p) { return std::min({qRed(p), qGreen(p), qBlue(p)}) < 150; }

// The share of a's inked pixels that have no inked pixel within one pixel in b.
double Unmatched(const QImage& a, const QImage& b) {
    long inked = 0, missed = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!Inked(a.pixel(x, y))) continue;
            ++inked;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = b.valid(x + dx, y + dy) && Inked(b.pixel(x + dx, y + dy));
            missed += !near;
        }
    return inked == 0 ? 1.0 : static_cast<double>(missed) / inked;
}

// A rendering of a vector export matches the raster picture, shape for shape; text is set by
// another rasteriser, so a few pixels may differ.
void ExpectLooksLike(const QImage& rendered, const QImage& reference) {
    ASSERT_FALSE(rendered.isNull());
    // A renderer may round a size in points up to a whole pixel more.
    EXPECT_LE(std::abs(rendered.width() - reference.width()), 1);
    EXPECT_LE(std::abs(rendered.height() - reference.height()), 1);
    const QImage cut = rendered.copy(0, 0, reference.width(), reference.height()).convertToFormat(QImage::Format_RGB32);
    EXPECT_LT(Unmatched(reference, cut), 0.01);
    EXPECT_LT(Unmatched(cut, reference), 0.01);
}

// The SVG as XML: well formed, one outline per vertex and per edge, every text as text.
void ExpectSvgShapes(const QByteArray& svg) {
    QXmlStreamReader xml(svg);
    int circles = 0, edges = 0, texts = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto name = xml.name();
        if (name == QLatin1String("circle") || name == QLatin1String("ellipse")) ++circles;
        else if (name == QLatin1String("polyline")) ++edges; // a line
        else if (name == QLatin1String("path") && xml.attributes().value(QLatin1String("d")).contains(QLatin1Char('C'))) ++edges; // a loop
        else if (name == QLatin1String("text")) ++texts;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(circles, 4);
    EXPECT_EQ(edges, SampleEdges);
    EXPECT_EQ(texts, SampleTexts);
}

TEST(GraphExport, PicturesShowWhatTheRasterCanvasPaints) {
    const auto g = Sample();
    QImage none;
    TRasterCanvas measure(none);
    const TPictureSize fitted = ExportPictureSize(*g, measure);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (TExportFormat format : {TExportFormat::Png, TExportFormat::Bmp, TExportFormat::Jpeg, TExportFormat::Svg, TExportFormat::Pdf}) {
        for (std::optional<TPictureSize> size : {std::optional<TPictureSize>(), std::optional<TPictureSize>({200, 150})}) {
            SCOPED_TRACE(static_cast<int>(format) * 10 + (size ? 1 : 0));
            const TPictureSize expected = size ? *size : fitted;
            const QImage reference = Reference(*g, expected);
            const QByteArray bytes = Data(ExportBytes(*g, format, size));
            const QString file = dir.filePath(QStringLiteral("picture"));
            switch (format) {
            case TExportFormat::Png:
            case TExportFormat::Bmp:
                EXPECT_EQ(QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32), reference);
                break;
            case TExportFormat::Jpeg: {
                const QImage decoded = QImage::fromData(bytes, "JPG");
                EXPECT_EQ(decoded.size(), reference.size());
                EXPECT_LT(Unmatched(reference, decoded), 0.03);
                break;
            }
            case TExportFormat::Svg:
                ExpectSvgShapes(bytes);
                ExpectLooksLike(QImage::fromData(RunTool(QStringLiteral("rsvg-convert"), {}, bytes)), reference);
                break;
            default:
                EXPECT_TRUE(bytes.startsWith("%PDF-"));
                ExpectLooksLike(QImage::fromData(RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"),
                                                                                 QStringLiteral("-png"), QStringLiteral("-singlefile")},
                                                     bytes)),
                                reference);
            }
        }
    }
    // The fitted picture is the smallest: its last inked column and row lie just inside the margin.
    const QImage picture = Reference(*g, fitted);
    auto inkedAt = [&](bool column, int at) {
        for (int i = 0; i < (column ? picture.height() : picture.width()); ++i)
            if (picture.pixel(column ? at : i, column ? i : at) != qRgb(255, 255, 255)) return true;
        return false;
    };
    EXPECT_TRUE(inkedAt(true, fitted.width - 11));
    EXPECT_TRUE(inkedAt(false, fitted.height - 11));
    for (int m = 1; m <= 10; ++m) {
        EXPECT_FALSE(inkedAt(true, fitted.width - m));
        EXPECT_FALSE(inkedAt(false, fitted.height - m));
    }
}

// Graphviz reads the DOT file: the same nodes with their names, the same edges with their weights.
TEST(GraphExport, GraphvizReadsTheDotFile) {
    const auto g = Sample();
    const QByteArray plain = RunTool(QStringLiteral("dot"), {QStringLiteral("-Tplain")}, Data(ExportBytes(*g, TExportFormat::Dot, {})));
    std::map<QString, QString> labels; // node -> label
    std::vector<QString> edges;        // "tail head label color"
    for (const QByteArray& line : plain.split('\n')) {
        // Fields are separated by spaces; a field with spaces or quotes is quoted, with \" inside.
        QStringList f;
        const QString text = QString::fromUtf8(line);
        for (int i = 0; i < text.size();) {
            if (text[i] == QLatin1Char(' ')) { ++i; continue; }
            QString field;
            if (text[i] == QLatin1Char('"')) {
                for (++i; i < text.size() && text[i] != QLatin1Char('"'); ++i) {
                    if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) ++i;
                    field += text[i];
                }
                ++i;
            } else {
                while (i < text.size() && text[i] != QLatin1Char(' ')) field += text[i++];
            }
            f << field;
        }
        if (f.size() > 6 && f[0] == QLatin1String("node")) labels[f[1]] = f[6];
        if (f.size() > 4 && f[0] == QLatin1String("edge")) {
            const int points = f[3].toInt();
            edges.push_back(f[1] + QLatin1Char(' ') + f[2] + QLatin1Char(' ') + f[4 + 2 * points] + QLatin1Char(' ') + f.last());
        }
    }
    EXPECT_EQ(labels, (std::map<QString, QString>{{QStringLiteral("1"), QStringLiteral("a\\b{c}%d&e_f")},
                                                   {QStringLiteral("2"), QStringLiteral("<x & \"y\">")},
                                                   {QStringLiteral("3"), QStringLiteral("caf\u00e9")},
                                                   {QStringLiteral("4"), QStringLiteral("Hub")}}));
    std::sort(edges.begin(), edges.end());
    EXPECT_EQ(edges, (std::vector<QString>{QStringLiteral("1 2 1_2 #000080"), QStringLiteral("1 3 13 #000000"),
                                           QStringLiteral("2 1 w\"q #FF0000"), QStringLiteral("2 2 loop #008000"),
                                           QStringLiteral("3 4 solid #FF00FF"), QStringLiteral("4 1 x #000000")}));
}

// Qt's XML reader reads the GraphML file back into the same vertices and edges.
TEST(GraphExport, GraphMLReadsBackIntoTheSameGraph) {
    const auto g = Sample();
    QXmlStreamReader xml(Data(ExportBytes(*g, TExportFormat::GraphML, {})));
    std::map<QString, QString> keyName; // key id -> attribute name
    QStringList nodes, edges;           // "name x y" / "source target weight color", in the file's order
    QString id, owner;
    std::map<QString, QString> values;
    bool directed = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QXmlStreamAttributes a = xml.attributes();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("key")) keyName[a.value(QLatin1String("id")).toString()] = a.value(QLatin1String("attr.name")).toString();
            if (xml.name() == QLatin1String("graph")) directed = a.value(QLatin1String("edgedefault")) == QLatin1String("directed");
            if (xml.name() == QLatin1String("node")) values = {{QStringLiteral("id"), a.value(QLatin1String("id")).toString()}};
            if (xml.name() == QLatin1String("edge"))
                values = {{QStringLiteral("source"), a.value(QLatin1String("source")).toString()},
                          {QStringLiteral("target"), a.value(QLatin1String("target")).toString()}};
            if (xml.name() == QLatin1String("data")) {
                const QString key = keyName[a.value(QLatin1String("key")).toString()];
                values[key] = xml.readElementText();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == QLatin1String("node"))
                nodes << values[QStringLiteral("id")] + QLatin1Char(' ') + values[QStringLiteral("name")] + QLatin1Char(' ') +
                             values[QStringLiteral("x")] + QLatin1Char(' ') + values[QStringLiteral("y")];
            if (xml.name() == QLatin1String("edge"))
                edges << values[QStringLiteral("source")] + QLatin1Char(' ') + values[QStringLiteral("target")] + QLatin1Char(' ') +
                             values[QStringLiteral("weight")] + QLatin1Char(' ') + values[QStringLiteral("color")];
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(directed);
    EXPECT_EQ(nodes, (QStringList{QStringLiteral("n1 a\\b{c}%d&e_f 60 60"), QStringLiteral("n2 <x & \"y\"> 260 60"),
                                  QStringLiteral("n3 caf\u00e9 160 200"), QStringLiteral("n4 Hub 300 220")}));
    // Edges in the order of the file's lines as the graph keeps them: each list newest first.
    EXPECT_EQ(edges, (QStringList{QStringLiteral("n1 n3 13 #000000"), QStringLiteral("n1 n2 1_2 #000080"),
                                  QStringLiteral("n2 n2 loop #008000"), QStringLiteral("n2 n1 w\"q #FF0000"),
                                  QStringLiteral("n3 n4  #FF00FF"), QStringLiteral("n4 n1 x #000000")}));
}

} // namespace
