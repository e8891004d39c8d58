#pragma once
// Writing a graph in another format, chosen by the output file's ending: pictures of exactly
// what the surface shows (PNG, BMP and JPEG through the raster canvas, band by band; SVG through
// the SVG canvas and PDF through a QPainter canvas, text as text) and descriptions for other programs (DOT, GraphML,
// TikZ). Needs a QGuiApplication for the fonts; any platform will do, the offscreen one included.

#include "PictureBounds.h"

#include <QImage>

#include <functional>
#include <optional>
#include <string>

enum class TExportFormat { Png, Bmp, Jpeg, Svg, Pdf, Dot, GraphML, Tikz, Gf4 };
enum class TExportKind { Raster, Vector, Text };

struct TMarks;

// One row of the table of formats: every export, the window's Save image included, finds its
// format and writer here, and the command line's help lists them from it.
struct TExportFormatInfo {
    TExportFormat format;
    const char* ending;      // as a file name ends, in lower case
    const char* otherEnding; // a second spelling, or null (".jpeg")
    const char* description; // for the help: "PNG picture"
    TExportKind kind;
    // The file's bytes for a graph, with a result drawn in when marks is not null; pictures of
    // the given size, or else of ExportPictureSize.
    std::string (*write)(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
    // Raster formats: the bytes of a picture as it stands (the window's Save image); else null.
    std::string (*encode)(const QImage& picture);
};

// Every format, in the order the help lists them.
extern const TExportFormatInfo ExportFormats[9];
const TExportFormatInfo& ExportFormatInfo(TExportFormat format);

// The format the path's ending names, in any case; nothing for any other ending.
std::optional<TExportFormat> ExportFormatOf(const std::string& path);
// The endings ExportFormatOf knows, as a message lists them: ".png, .bmp, .jpg, .jpeg, ...".
std::string KnownExportEndings();
// Whether this build can write the format: every build writes them all (the SVG writer is the
// program's own).
bool ExportFormatAvailable(TExportFormat format);

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
// Gives the file at path the export through ReplaceFile (SafeFile.h). A BMP file, whose rows are
// as many bytes as the format makes them, is written band by band as it is painted, never held
// whole; the other formats' bytes are made first. Throws as ExportBytes does, the old file left.
struct TReplaceFailure;
TReplaceFailure ExportToFile(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size,
                             const std::string& path);
// The same with a result drawn in: every picture format and the TikZ picture draw the marks over
// the graph; DOT and GraphML are written as without them.
std::string ExportBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size, const TMarks& marks);
// A PDF of one page a frame, all of the given size or else of ExportPictureSize: page k is g with
// the marks marksOf(k, marks) gives drawn over it.
std::string PdfFrameBytes(const Tgraph& g, std::optional<TPictureSize> size, int frames,
                          const std::function<void(int, TMarks&)>& marksOf);
