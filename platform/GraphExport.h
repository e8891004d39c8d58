#pragma once
// Writing a graph in another format, chosen by the output file's ending: pictures of exactly
// what the surface shows (PNG, BMP and JPEG through the raster canvas; SVG and PDF through a
// QPainter canvas, text as text) and descriptions for other programs (DOT, GraphML, TikZ).
// Needs a QGuiApplication for the fonts; any platform will do, the offscreen one included.

#include "PictureBounds.h"

#include <QImage>

#include <optional>
#include <string>

enum class TExportFormat { Png, Bmp, Jpeg, Svg, Pdf, Dot, GraphML, Tikz };

// The format the path's ending names, in any case; nothing for any other ending.
std::optional<TExportFormat> ExportFormatOf(const std::string& path);
// The endings ExportFormatOf knows, as a message lists them.
extern const char* const KnownExportEndings;

// DrawGraph of g on a white picture of that size (or of ExportPictureSize), through the raster
// canvas: the pixels the surface shows right after opening the file on a surface of that size.
// Throws std::runtime_error when the picture cannot be allocated.
// With marks, the result they describe is drawn over the graph.
struct TMarks;
QImage RasterPicture(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks = nullptr);

// The file's bytes. A picture is of the given size, or else of ExportPictureSize; the text
// formats have no size. Throws std::runtime_error when the picture cannot be made.
// With marks, the pictures and the TikZ picture draw the result they describe.
std::string ExportBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size,
                        const TMarks* marks = nullptr);

// Why path could not be read as a graph: the system's reason, or that it is not a graph file.
std::string GraphReadFailure(const std::string& path);

// The export command: reads input as the Open command does and writes output through the safe
// replacement of the graph save, so that a failure leaves an existing output as it was and no
// partial file. Returns the one line that says which file failed and why; empty on success.
std::string ExportGraphFile(const std::string& input, const std::string& output, std::optional<TPictureSize> size);
