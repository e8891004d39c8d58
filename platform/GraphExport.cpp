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
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const KnownExportEndings = ".png, .bmp, .jpg, .jpeg, .svg, .pdf, .dot, .graphml, .tex";

namespace {

// Vector pictures are laid out at 96 pixels an inch, so that a viewer at that resolution shows
// them at the surface's size.
constexpr int VectorDpi = 96;
constexpr int PngQuality = 80;

struct TEnding {
    const char* ending;
    TExportFormat format;
};
constexpr TEnding Endings[] = {
    {".png", TExportFormat::Png},     {".bmp", TExportFormat::Bmp},         {".jpg", TExportFormat::Jpeg},
    {".jpeg", TExportFormat::Jpeg},   {".svg", TExportFormat::Svg},         {".pdf", TExportFormat::Pdf},
    {".dot", TExportFormat::Dot},     {".graphml", TExportFormat::GraphML}, {".tex", TExportFormat::Tikz},
};

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

std::string SvgBytes(const Tgraph& g, TPictureSize size, const TMarks* marks) {
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

std::string PdfBytes(const Tgraph& g, TPictureSize size, const TMarks* marks) {
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

std::string PngBytes(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Quality 80 is zlib's fastest level: a quarter larger than the default, five times faster.
    if (!picture.save(&buffer, "PNG", PngQuality)) throw std::runtime_error("the picture cannot be encoded as PNG");
    return Bytes(bytes);
}

TPictureSize DefaultSize(const Tgraph& g) {
    QImage none;
    TRasterCanvas measure(none);
    return ExportPictureSize(g, measure);
}

} // namespace

std::string GraphReadFailure(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    struct stat st;
    const bool folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    ::close(fd);
    return folder ? std::strerror(EISDIR) : "it is not a graph file";
}

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

} // namespace

std::optional<TExportFormat> ExportFormatOf(const std::string& path) {
    std::string lower = path;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t slash = lower.rfind('/');
    for (const TEnding& e : Endings) {
        const std::size_t n = std::strlen(e.ending);
        // The ending alone ("out/.png") names no file.
        const std::size_t nameLength = lower.size() - (slash == std::string::npos ? 0 : slash + 1);
        if (nameLength > n && lower.compare(lower.size() - n, n, e.ending) == 0) return e.format;
    }
    return std::nullopt;
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

std::string ExportBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size, const TMarks* marks) {
    switch (format) {
    case TExportFormat::Dot: return DotText(g);
    case TExportFormat::GraphML: return GraphMLText(g);
    case TExportFormat::Tikz: return marks ? TikzText(g, *marks) : TikzText(g);
    default: break;
    }
    switch (format) {
    case TExportFormat::Svg: return SvgBytes(g, size ? *size : DefaultSize(g), marks);
    case TExportFormat::Pdf: return PdfBytes(g, size ? *size : DefaultSize(g), marks);
    case TExportFormat::Png: return PngBytes(RasterPicture(g, size, marks));
    case TExportFormat::Bmp: return EncodeBmp(RasterPicture(g, size, marks));
    default: return EncodeJpeg(RasterPicture(g, size, marks));
    }
}

std::string ExportGraphFile(const std::string& input, const std::string& output, std::optional<TPictureSize> size) {
    const std::optional<TExportFormat> format = ExportFormatOf(output);
    if (!format) return "Cannot export to " + Quoted(output) + ": unknown ending; the known ones are " + KnownExportEndings;

    auto g = std::make_unique<Tgraph>();
    LoadGraph(*g, input);
    if (!g->created) return "Cannot read " + Quoted(input) + ": " + GraphReadFailure(input);

    std::string bytes;
    try {
        bytes = ExportBytes(*g, *format, size);
    } catch (const std::exception& e) {
        return "Cannot export to " + Quoted(output) + ": " + e.what();
    }
    try {
        SaveFileSafely(output, bytes);
    } catch (const EInOutError& e) {
        // The save's own texts for the errors it names; the system's (2 is ENOENT) for the rest.
        const bool named = e.ErrorCode == 3 || e.ErrorCode == 4 || e.ErrorCode == 5 ||
                           e.ErrorCode == 101;
        return "Cannot write " + Quoted(output) + ": " + (named ? e.what() : std::strerror(e.ErrorCode));
    }
    return {};
}
