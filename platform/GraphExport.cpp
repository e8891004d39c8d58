#include "GraphExport.h"

#include "JpegWriter.h"
#include "Marks.h"
#include "PictureFile.h"
#include "QtCanvas.h"
#include "RasterCanvas.h"
#include "TextExport.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#ifdef NODELOOM_HAVE_SVG
#include <QSvgGenerator>
#endif

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace {

// Vector pictures are laid out at 96 pixels an inch, so that a viewer at that resolution shows
// them at the surface's size.
constexpr int VectorDpi = 96;
constexpr int PngQuality = 80;

std::string Bytes(const QByteArray& data) { return std::string(data.constData(), static_cast<std::size_t>(data.size())); }

// The shapes of DrawGraph on a vector device of size w x h, on white. A canvas coordinate names
// a pixel, whose centre lies half a unit further on: the outline of a box of pixels x1..x2-1 is
// then drawn from x1 to x2 on paper, exactly over the pixels the raster canvas paints.
void PaintVector(const Tgraph& g, QPaintDevice& device, TPictureSize size, const TMarks* marks) {
    QPainter painter(&device);
    if (!painter.isActive()) throw std::runtime_error("the picture cannot be started");
    painter.fillRect(QRect(0, 0, size.width, size.height), Qt::white);
    painter.setClipRect(QRect(0, 0, size.width, size.height));
    painter.translate(0.5, 0.5);
    TQtCanvas canvas(painter);
    if (marks) DrawGraph(g, canvas, *marks);
    else DrawGraph(g, canvas);
}

TPictureSize DefaultSize(const Tgraph& g) {
    QImage none;
    TRasterCanvas measure(none);
    return ExportPictureSize(g, measure);
}

#ifdef NODELOOM_HAVE_SVG
std::string SvgBytes(const Tgraph& g, TPictureSize size, const TMarks* marks = nullptr) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(VectorDpi);
    svg.setSize(QSize(size.width, size.height));
    svg.setViewBox(QRect(0, 0, size.width, size.height));
    svg.setTitle(QStringLiteral("Nodeloom graph"));
    PaintVector(g, svg, size, marks);
    // The generator gives the size in millimetres, which viewers round up to one pixel more.
    std::string text = Bytes(buffer.data());
    const std::size_t start = text.find("<svg width=\""), box = text.find("viewBox=");
    if (start != std::string::npos && box != std::string::npos && start < box)
        text.replace(start, box - start,
                     "<svg width=\"" + std::to_string(size.width) + "\" height=\"" + std::to_string(size.height) + "\" ");
    return text;
}
#else
std::string SvgBytes(const Tgraph&, TPictureSize, const TMarks* = nullptr) {
    throw std::runtime_error("SVG export is not available in this build");
}
#endif

std::string PdfBytes(const Tgraph& g, TPictureSize size, const TMarks* marks = nullptr) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(VectorDpi);
    pdf.setCreator(QStringLiteral("Nodeloom"));
    pdf.setTitle(QStringLiteral("Nodeloom graph"));
    const QSizeF points(size.width * 72.0 / VectorDpi, size.height * 72.0 / VectorDpi);
    pdf.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    PaintVector(g, pdf, size, marks);
    return Bytes(buffer.data());
}

std::string EncodeJpegPicture(const QImage& picture) { return EncodeJpeg(picture); }

std::string PngBytes(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Quality 80 is zlib's fastest level: a quarter larger than the default, five times faster.
    if (!picture.save(&buffer, "PNG", PngQuality)) throw std::runtime_error("the picture cannot be encoded as PNG");
    return Bytes(bytes);
}

std::string WritePng(const Tgraph& g, std::optional<TPictureSize> size) { return PngBytes(RasterPicture(g, size)); }
std::string WriteBmp(const Tgraph& g, std::optional<TPictureSize> size) { return EncodeBmp(RasterPicture(g, size)); }
std::string WriteJpeg(const Tgraph& g, std::optional<TPictureSize> size) { return EncodeJpegPicture(RasterPicture(g, size)); }
std::string WriteSvg(const Tgraph& g, std::optional<TPictureSize> size) { return SvgBytes(g, size ? *size : DefaultSize(g)); }
std::string WritePdf(const Tgraph& g, std::optional<TPictureSize> size) { return PdfBytes(g, size ? *size : DefaultSize(g)); }
std::string WriteDot(const Tgraph& g, std::optional<TPictureSize>) { return DotText(g); }
std::string WriteGraphML(const Tgraph& g, std::optional<TPictureSize>) { return GraphMLText(g); }
std::string WriteTikz(const Tgraph& g, std::optional<TPictureSize>) { return TikzText(g); }

// The ending alone ("out/.png") names no file.
bool EndsWith(const std::string& lower, std::size_t nameLength, const char* ending) {
    const std::size_t n = std::strlen(ending);
    return nameLength > n && lower.compare(lower.size() - n, n, ending) == 0;
}

} // namespace

const TExportFormatInfo ExportFormats[8] = {
    {TExportFormat::Png, ".png", nullptr, "PNG picture", TExportKind::Raster, WritePng, PngBytes},
    {TExportFormat::Bmp, ".bmp", nullptr, "Windows bitmap", TExportKind::Raster, WriteBmp, EncodeBmp},
    {TExportFormat::Jpeg, ".jpg", ".jpeg", "JPEG picture", TExportKind::Raster, WriteJpeg, EncodeJpegPicture},
    {TExportFormat::Svg, ".svg", nullptr, "SVG drawing, text as text", TExportKind::Vector, WriteSvg, nullptr},
    {TExportFormat::Pdf, ".pdf", nullptr, "PDF page, text as text", TExportKind::Vector, WritePdf, nullptr},
    {TExportFormat::Dot, ".dot", nullptr, "Graphviz DOT", TExportKind::Text, WriteDot, nullptr},
    {TExportFormat::GraphML, ".graphml", nullptr, "GraphML", TExportKind::Text, WriteGraphML, nullptr},
    {TExportFormat::Tikz, ".tex", nullptr, "LaTeX TikZ picture", TExportKind::Text, WriteTikz, nullptr},
};

const TExportFormatInfo& ExportFormatInfo(TExportFormat format) {
    for (const TExportFormatInfo& info : ExportFormats)
        if (info.format == format) return info;
    throw std::logic_error("an export format without a row in the table");
}

std::optional<TExportFormat> ExportFormatOf(const std::string& path) {
    std::string lower = path;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t slash = lower.rfind('/');
    const std::size_t nameLength = lower.size() - (slash == std::string::npos ? 0 : slash + 1);
    for (const TExportFormatInfo& info : ExportFormats) {
        if (EndsWith(lower, nameLength, info.ending)) return info.format;
        if (info.otherEnding && EndsWith(lower, nameLength, info.otherEnding)) return info.format;
    }
    return std::nullopt;
}

std::string KnownExportEndings() {
    std::string list;
    for (const TExportFormatInfo& info : ExportFormats) {
        for (const char* ending : {info.ending, info.otherEnding}) {
            if (!ending) continue;
            if (!list.empty()) list += ", ";
            list += ending;
        }
    }
    return list;
}

bool ExportFormatAvailable(TExportFormat format) {
#ifdef NODELOOM_HAVE_SVG
    (void)format;
    return true;
#else
    return format != TExportFormat::Svg;
#endif
}

QImage RasterPicture(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks) {
    QImage picture;
    TRasterCanvas canvas(picture); // one canvas measures and paints, so each text is laid out once
    const TPictureSize s = size ? *size : ExportPictureSize(g, canvas);
    picture = QImage(s.width, s.height, QImage::Format_RGB32);
    if (picture.isNull())
        throw std::runtime_error("not enough memory for a picture of " + std::to_string(s.width) + " x " +
                                 std::to_string(s.height) + " pixels");
    picture.fill(Qt::white);
    if (marks) DrawGraph(g, canvas, *marks);
    else DrawGraph(g, canvas);
    return picture;
}

std::string ExportBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size) {
    return ExportFormatInfo(format).write(g, size);
}

std::string ExportBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size, const TMarks& marks) {
    const TExportFormatInfo& info = ExportFormatInfo(format);
    if (info.kind == TExportKind::Raster) return info.encode(RasterPicture(g, size, &marks));
    if (format == TExportFormat::Svg) return SvgBytes(g, size ? *size : DefaultSize(g), &marks);
    if (format == TExportFormat::Pdf) return PdfBytes(g, size ? *size : DefaultSize(g), &marks);
    if (format == TExportFormat::Tikz) return TikzText(g, marks);
    return info.write(g, size); // Graphviz and GraphML carry no drawing of their own
}
