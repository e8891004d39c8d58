#include "GraphExport.h"

#include "BmpWriter.h"
#include "Fonts.h"
#include "FormatWriters.h"
#include "Geometry.h"
#include "JpegWriter.h"
#include "Marks.h"
#include "Numbers.h"
#include "PngWriter.h"
#include "QtCanvas.h"
#include "QtColor.h"
#include "RasterCanvas.h"
#include "SafeFile.h"
#include "SvgCanvas.h"
#include "TextExport.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>

namespace {

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, const TReplaceFailure& failure) {
    throw std::runtime_error(std::string(what) + " \"" + path + "\". " + FailureSentence(AsFileFailure(failure)));
}

// Vector pictures are laid out at 96 pixels an inch, so that a viewer at that resolution shows
// them at the surface's size.
constexpr int VectorDpi = geometry::PixelsPerInch;

std::string Bytes(const QByteArray& data) {
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

// The PDF's canvas: shapes through the QPainter canvas; texts measured as the raster canvas
// measures them, and of a long text only the characters near the page written. It measures
// first (for the picture's size) and paints once Start gave it the painter.
class TPdfCanvas : public TCanvas {
public:
    void Start(QPainter& painter, TPictureSize size) {
        painter_ = &painter;
        qt_.emplace(painter);
        size_ = size;
    }
    void SetPenColor(TColor c) override { pen_ = c, qt_ ? qt_->SetPenColor(c) : void(); }
    TColor PenColor() const override { return pen_; }
    void SetPenWidth(int w) override { qt_ ? qt_->SetPenWidth(w) : void(); }
    void SetBrushColor(TColor c) override { brush_ = c, qt_ ? qt_->SetBrushColor(c) : void(); }
    void SetFontColor(TColor c) override { font_ = c, qt_ ? qt_->SetFontColor(c) : void(); }
    TColor Pixel(int, int) const override { return 0xFFFFFFFF; }
    void Rectangle(int x1, int y1, int x2, int y2) override { qt_ ? qt_->Rectangle(x1, y1, x2, y2) : void(); }
    void Ellipse(int x1, int y1, int x2, int y2) override { qt_ ? qt_->Ellipse(x1, y1, x2, y2) : void(); }
    void MoveTo(int x, int y) override { qt_ ? qt_->MoveTo(x, y) : void(); }
    void LineTo(int x, int y) override { qt_ ? qt_->LineTo(x, y) : void(); }
    void Polygon(const TPoint* points, int count) override { qt_ ? qt_->Polygon(points, count) : void(); }
    void PolyBezier(const TPoint (&points)[4]) override { qt_ ? qt_->PolyBezier(points) : void(); }
    int TextWidth(const std::string& text) override { return texts_.Width(text); }
    int TextHeight(const std::string&) override { return texts_.LineHeight(); }
    // The cell in the brush colour as far as the page shows it, then the letters near the page.
    void TextOut(int x, int y, const std::string& text) override {
        if (!painter_ || text.empty()) return;
        const long long w = texts_.Width(text), h = texts_.LineHeight();
        if (w <= 0) return;
        QPainter& p = *painter_;
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        const long long l = std::max<long long>(x, -1), r = std::min<long long>(x + w, size_.width + 1);
        if (l < r) {
            p.setPen(Qt::NoPen);
            p.setBrush(ToQColor(brush_));
            p.drawRect(QRectF(static_cast<qreal>(l), y, static_cast<qreal>(r - l), static_cast<qreal>(h)));
        }
        const TTextRaster::TPart part = texts_.VisiblePart(text, x, 0, size_.width);
        if (p.font() != font) p.setFont(font);
        p.setPen(ToQColor(font_));
        p.drawText(QPointF(x + part.pen / 64.0, static_cast<qreal>(y) + texts_.Ascent()), part.text);
    }

private:
    TTextRaster texts_;
    QFont font = CanvasFont();
    QPainter* painter_ = nullptr;
    std::optional<TQtCanvas> qt_;
    TPictureSize size_{0, 0};
    TColor pen_ = 0, brush_ = 0x00FFFFFF, font_ = 0;
};

// Draws g, with the marks when there are some.
void DrawWithMarks(const Tgraph& g, TCanvas& canvas, const TMarks* marks) {
    if (marks)
        DrawGraph(g, canvas, *marks);
    else
        DrawGraph(g, canvas);
}

std::string SvgBytes(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks = nullptr) {
    TSvgCanvas svg(0, 0); // one canvas measures and draws, so each text is laid out once
    const TPictureSize s = size ? *size : ExportPictureSize(g, svg);
    svg.SetSize(s.width, s.height);
    DrawWithMarks(g, svg, marks);
    return svg.Finish("Nodeloom graph");
}

// Qt rounds a PDF page to whole points and draws from its rounded top edge. The page box is made
// the picture's size exactly, its top where Qt's is (a box may start anywhere), and the table of
// object offsets that follows it is moved on by the characters the box gained.
std::string WithExactPage(std::string pdf, double width, double height) {
    const std::size_t box = pdf.find("/MediaBox [");
    if (box == std::string::npos) return pdf;
    const std::size_t open = box + 11, close = pdf.find(']', open);
    if (close == std::string::npos) return pdf;
    // Four numbers: the box's corners; the top is the fourth.
    std::optional<double> top;
    std::size_t at = open;
    for (int k = 0; k < 4; ++k) {
        at = pdf.find_first_not_of(' ', at);
        const std::size_t end = std::min(pdf.find(' ', at), close);
        if (at >= close) return pdf;
        top = numbers::Parse(std::string_view(pdf).substr(at, end - at));
        if (!top) return pdf;
        at = end;
    }
    const std::string exact =
        "0 " + numbers::Fixed(*top - height, 6) + " " + numbers::Fixed(width, 6) + " " + numbers::Fixed(*top, 6);
    const long long delta = static_cast<long long>(exact.size()) - static_cast<long long>(close - open);
    pdf.replace(open, close - open, exact);
    const std::size_t xref = pdf.rfind("\nxref\n");
    const std::size_t start = pdf.rfind("startxref\n");
    if (xref == std::string::npos || start == std::string::npos || xref < open) return pdf;
    // "xref", "0 N", then N entries of 20 characters: a 10-digit offset, generation, n or f.
    at = pdf.find('\n', xref + 6) + 1;
    while (at + 20 <= start && pdf.compare(at, 7, "trailer") != 0) {
        const long long offset = std::atoll(pdf.substr(at, 10).c_str());
        if (pdf[at + 17] == 'n' && offset > static_cast<long long>(open)) {
            char moved[16];
            std::snprintf(moved, sizeof moved, "%010lld", offset + delta);
            pdf.replace(at, 10, moved);
        }
        at += 20;
    }
    const std::size_t number = start + 10, end = pdf.find_first_not_of("0123456789", number);
    pdf.replace(number, end - number, std::to_string(std::atoll(pdf.substr(number, end - number).c_str()) + delta));
    return pdf;
}

// Pages of one size, each drawn by draw(page, canvas); one page keeps the picture's size exactly.
std::string PdfPages(const Tgraph& g, std::optional<TPictureSize> size, int pages,
                     const std::function<void(int, TCanvas&)>& draw) {
    TPdfCanvas canvas; // one canvas measures and draws, so each text is laid out once
    const TPictureSize s = size ? *size : ExportPictureSize(g, canvas);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(VectorDpi);
    pdf.setCreator(QStringLiteral("Nodeloom"));
    pdf.setTitle(QStringLiteral("Nodeloom graph"));
    const QSizeF points(s.width * geometry::PointsPerPixel, s.height * geometry::PointsPerPixel);
    pdf.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    // A canvas coordinate names a pixel, whose centre lies half a unit further on: the outline
    // of a box of pixels x1..x2-1 is then drawn from x1 to x2 on paper, exactly over the pixels
    // the raster canvas paints.
    QPainter painter(&pdf);
    if (!painter.isActive()) throw std::runtime_error("the picture cannot be started");
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !pdf.newPage()) throw std::runtime_error("the page cannot be started");
        painter.save();
        painter.fillRect(QRect(0, 0, s.width, s.height), Qt::white);
        painter.setClipRect(QRect(0, 0, s.width, s.height));
        painter.translate(0.5, 0.5);
        canvas.Start(painter, s);
        draw(page, canvas);
        painter.restore();
    }
    painter.end();
    if (pages != 1) return Bytes(buffer.data());
    return WithExactPage(Bytes(buffer.data()), points.width(), points.height());
}

std::string PdfBytes(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks = nullptr) {
    return PdfPages(g, size, 1, [&](int, TCanvas& canvas) { DrawWithMarks(g, canvas, marks); });
}

// The rows of a band of a picture width pixels wide.
int BandRows(int width) {
    return static_cast<int>(std::max<std::size_t>(
        TRasterCanvas::MinBandRows, TRasterCanvas::BandBytes / (4 * static_cast<std::size_t>(std::max(1, width)))));
}

// A raster picture painted and encoded band by band: memory holds one band and the encoder,
// whatever the picture's size, and a band no shape reaches costs no painting. A picture of at
// most DirectPictureBytes is one band, painted directly without recording the calls first.
constexpr std::size_t DirectPictureBytes = std::size_t{16} << 20;
template <class TWriter>
std::string RasterBytes(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks, TWriter&& make) {
    QImage band;
    TRasterCanvas canvas(band); // one canvas measures and paints, so each text is laid out once
    const TPictureSize s = size ? *size : ExportPictureSize(g, canvas);
    auto writer = make(s.width, s.height);
    if (static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height) * 4 <= DirectPictureBytes) {
        band = RasterImage(s.width, s.height);
        if (band.isNull()) throw std::runtime_error("not enough memory for the picture");
        band.fill(0xFFFFFFFFu);
        {
            const TRasterCanvas::TFrame frame(canvas);
            DrawWithMarks(g, canvas, marks);
        }
        writer.Rows(band, 0, s.height);
        return writer.Finish();
    }
    canvas.PaintBands([&](TCanvas& c) { DrawWithMarks(g, c, marks); }, s.width, s.height, BandRows(s.width),
                      [&](const QImage& image, int top, int count) { writer.Rows(image, top, count); });
    return writer.Finish();
}

struct TPngRows {
    TPngWriter png;
    void Rows(const QImage& image, int, int count) { png.Rows(image, count); }
    std::string Finish() { return png.Finish(); }
};
struct TJpegRows {
    TJpegWriter jpeg;
    void Rows(const QImage& image, int, int count) { jpeg.Rows(image, count); }
    std::string Finish() { return jpeg.Finish(); }
};

} // namespace

std::string EncodeJpegPicture(const QImage& picture) { return EncodeJpeg(picture); }

std::string EncodePng(const QImage& picture) {
    if (picture.isNull()) throw std::runtime_error("the picture cannot be encoded as PNG");
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    TPngWriter png(rgb.width(), rgb.height());
    png.Rows(rgb, rgb.height());
    return png.Finish();
}

std::string WritePng(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks) {
    return RasterBytes(g, size, marks, [](int w, int h) { return TPngRows{TPngWriter(w, h)}; });
}
std::string WriteBmp(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks) {
    return RasterBytes(g, size, marks, [](int w, int h) { return TBmpWriter(w, h); });
}
std::string WriteJpeg(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks) {
    return RasterBytes(g, size, marks, [](int w, int h) { return TJpegRows{TJpegWriter(w, h)}; });
}
std::string WriteSvg(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks) {
    return SvgBytes(g, size, marks);
}
std::string WritePdf(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks) {
    return PdfBytes(g, size, marks);
}
std::string WriteTikz(const Tgraph& g, std::optional<TPictureSize>, const TMarks* marks) {
    return marks ? TikzText(g, *marks) : TikzText(g);
}
// Graphviz, GraphML and gf4 carry no drawing of their own: the marks are not written.
std::string WriteDot(const Tgraph& g, std::optional<TPictureSize>, const TMarks*) { return DotText(g); }
std::string WriteGraphML(const Tgraph& g, std::optional<TPictureSize>, const TMarks*) { return GraphMLText(g); }
std::string WriteGf4(const Tgraph& g, std::optional<TPictureSize>, const TMarks*) { return GraphFileText(g); }

QImage RasterPicture(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks) {
    QImage picture;
    TRasterCanvas canvas(picture); // one canvas measures and paints, so each text is laid out once
    const TPictureSize s = size ? *size : ExportPictureSize(g, canvas);
    picture = QImage(s.width, s.height, QImage::Format_RGB32);
    if (picture.isNull())
        throw std::runtime_error("not enough memory for a picture of " + std::to_string(s.width) + " x " +
                                 std::to_string(s.height) + " pixels");
    picture.fill(Qt::white);
    if (marks)
        DrawGraph(g, canvas, *marks);
    else
        DrawGraph(g, canvas);
    return picture;
}

TPictureSize CropGraph(Tgraph& g) {
    QImage none;
    TRasterCanvas measure(none);
    const TCrop crop = CropToDrawing(g, measure);
    MoveAllVertices(g, crop.dx, crop.dy);
    return crop.size;
}

void ShiftIntoPicture(Tgraph& g) {
    QImage none;
    TRasterCanvas measure(none);
    const TCrop crop = CropToDrawing(g, measure);
    // The crop's shift brings the box to the margin: more than the margin (and its rounding to an
    // even shift) only for a side that lies before the corner.
    const int beyond = geometry::PictureMargin + 1;
    MoveAllVertices(g, crop.dx > beyond ? crop.dx : 0, crop.dy > beyond ? crop.dy : 0);
}

std::string ExportBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size) {
    return ExportFormatInfo(format).write(g, size, nullptr);
}

namespace {

// The file's bytes through ReplaceFile, the BMP band by band; throws for a picture not made.
TReplaceFailure WriteExport(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size,
                            const std::string& path) {
    if (format != TExportFormat::Bmp) return ReplaceFile(path, ExportBytes(g, format, size));
    QImage band;
    TRasterCanvas canvas(band);
    const TPictureSize s = size ? *size : ExportPictureSize(g, canvas);
    const std::string header = BmpHeader(s.width, s.height); // a picture too large fails before the file is touched
    return ReplaceFile(path, [&](const TFileWriter& write) {
        if (const int err = write(header.data(), header.size())) return err;
        const std::size_t rowBytes = BmpRowBytes(s.width);
        std::string rows;
        int err = 0;
        canvas.PaintBands([&](TCanvas& c) { DrawGraph(g, c); }, s.width, s.height, BandRows(s.width),
                          [&](const QImage& image, int, int count) {
                              if (err) return;
                              rows.assign(rowBytes * static_cast<std::size_t>(count), '\0');
                              for (int y = 0; y < count; ++y) // the band's rows from its bottom one up
                                  BmpRow(image, count - 1 - y, s.width,
                                         rows.data() + rowBytes * static_cast<std::size_t>(y));
                              err = write(rows.data(), rows.size());
                          },
                          true);
        return err;
    });
}

} // namespace

void ExportToFile(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size, const std::string& path) {
    TReplaceFailure written;
    try {
        written = WriteExport(g, format, size, path);
    } catch (const std::exception& e) {
        throw TExportError("Cannot export to \"" + path + "\": " + e.what());
    }
    if (const TFileFailure failure = AsFileFailure(written)) throw TExportError(WriteFailureText(path, failure));
}

std::string ExportBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size, const TMarks& marks) {
    return ExportFormatInfo(format).write(g, size, &marks);
}

void WritePictureFile(const std::string& path, const std::string& bytes) {
    const TReplaceFailure failure = ReplaceFile(path, bytes);
    switch (failure.step) {
    case TReplaceStep::None: return;
    case TReplaceStep::NotRegular:
    case TReplaceStep::Create: ThrowFileError("Cannot create file", path, failure);
    case TReplaceStep::Write: ThrowFileError("Cannot write file", path, failure);
    }
}

std::string PdfFrameBytes(const Tgraph& g, std::optional<TPictureSize> size, int frames,
                          const std::function<void(int, TMarks&)>& marksOf) {
    return PdfPages(g, size, frames, [&](int frame, TCanvas& canvas) {
        TMarks marks;
        marksOf(frame, marks);
        DrawGraph(g, canvas, marks);
    });
}
