#pragma once
// Writing a graph in another format, chosen by the output file's ending: pictures of exactly
// what the surface shows (PNG, BMP and JPEG through the raster canvas, band by band; SVG through
// the SVG canvas and PDF through a QPainter canvas, text as text) and descriptions for other programs (DOT, GraphML,
// TikZ). Needs a QGuiApplication for the fonts; any platform will do, the offscreen one included.

#include "Formats.h"
#include "PictureBounds.h"

#include <QImage>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

struct TMarks;

// The writers of the table's rows (Formats.h): the file's bytes for a graph, with the result the
// marks describe drawn in where they are not null (DOT, GraphML and gf4 carry no drawing and
// write none); pictures of the given size, or else of ExportPictureSize.
std::string WritePng(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
std::string WriteBmp(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
std::string WriteJpeg(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
std::string WriteSvg(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
std::string WritePdf(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
std::string WriteTikz(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
std::string WriteDot(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
std::string WriteGraphML(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
std::string WriteGf4(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
// The encoders of a picture as it stands (the window's Save image). Throw std::runtime_error for
// a picture that cannot be encoded.
std::string EncodePng(const QImage& picture);
std::string EncodeJpegPicture(const QImage& picture);

// DrawGraph of g on a white picture of that size (or of ExportPictureSize), through the raster
// canvas: the pixels the surface shows right after opening the file on a surface of that size.
// Throws std::runtime_error when the picture cannot be allocated.
// With marks, the result they describe is drawn over the graph.
QImage RasterPicture(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks = nullptr);

// Moves g's vertices so that the drawing lies a margin from the picture's top left corner, and
// returns the picture's size (CropToDrawing, texts measured as the raster canvas measures them).
TPictureSize CropGraph(Tgraph& g);
// Moves every vertex on when the drawing reaches left of or above the surface's corner (a vertex
// dragged off the top or left), so that a picture anchored at the corner shows all of it: the
// drawing's box then starts a margin from the corner on that side. Nothing moves otherwise.
void ShiftIntoPicture(Tgraph& g);

// The file's bytes. A picture is of the given size, or else of ExportPictureSize; the text
// formats have no size. Throws std::runtime_error when the picture cannot be made.
std::string ExportBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size);
// Why ExportToFile wrote no file; what() is the one line to show: "Cannot export to "PATH":
// REASON" when the picture cannot be made, the write failure's text (WriteFailureText) when the
// file cannot be written.
class TExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// Gives the file at path the export through ReplaceFile (SafeFile.h). A BMP file, whose rows are
// as many bytes as the format makes them, is written band by band as it is painted, never held
// whole; the other formats' bytes are made first. Throws TExportError, the old file left.
void ExportToFile(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size, const std::string& path);
// The same with a result drawn in: every picture format and the TikZ picture draw the marks over
// the graph; DOT and GraphML are written as without them.
std::string ExportBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size, const TMarks& marks);

// Gives the file at path the bytes through ReplaceFile (SafeFile.h): a failure leaves the previous
// file whole and no partial file behind. A file that cannot be created raises std::runtime_error
// with the text: Cannot create file "<path>". <the system's reason>; a target that is no regular
// file: Cannot create file "<path>". It is a FIFO (named pipe), not a regular file; a failed
// write: Cannot write file "<path>". <the system's reason>.
void WritePictureFile(const std::string& path, const std::string& bytes);

// A PDF of one page a frame, all of the given size or else of ExportPictureSize: page k is g with
// the marks marksOf(k, marks) gives drawn over it.
std::string PdfFrameBytes(const Tgraph& g, std::optional<TPictureSize> size, int frames,
                          const std::function<void(int, TMarks&)>& marksOf);
