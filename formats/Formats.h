#pragma once
// The table of file formats: for each, its endings, what it is, how the file dialogs name it, what
// reads it and what writes it. Every part of the program that chooses by a file's ending (the
// command line, --help, the window's dialogs, opening a file) reads it here, so that a format is
// one writer (or reader) and one row.

#include "ImportGraph.h"
#include "PictureBounds.h"

#include <QString>

#include <optional>
#include <string>

class QImage;
struct TMarks;

enum class TExportFormat { Png, Bmp, Jpeg, Svg, Pdf, Dot, GraphML, Tikz, Gf4 };
// A graph file (Nodeloom's or another program's), a picture of pixels, a picture of shapes, or a
// text that draws the graph in another program (TikZ).
enum class TFormatKind { Graph, Raster, Vector, Text };
// What a file is named for: opened as a graph, or written by --export.
enum class TFormatUse { Open, Export };

struct TFormat {
    const char* endings[3];  // as a file name ends, in lower case; the first is the one added to a bare name
    const char* description; // for the help: "PNG picture"
    const char* dialogName;  // the file dialogs' caption ("Bitmaps"); null where no dialog lists it
    TFormatKind kind;
    // The reader of another program's graph file: the import's. Nothing for gf4, whose own reader
    // opens every file no row names, and for the formats that are only written.
    std::optional<TImportFormat> import;
    // The writer: the file's bytes for a graph, with a result drawn in when marks is not null;
    // pictures of the given size, or else of ExportPictureSize. Null for a format not written.
    std::optional<TExportFormat> exportAs;
    std::string (*write)(const Tgraph& g, std::optional<TPictureSize> size, const TMarks* marks);
    // Raster formats: the bytes of a picture as it stands (the window's Save image); else null.
    std::string (*encode)(const QImage& picture);
};

// Every format, in the order the help lists them.
extern const TFormat Formats[11];

// Whether the file name at the end of path ends with ending (a dot and letters, lower case), in
// any case. The ending alone, a file name that is only the ending, names no file.
bool HasEnding(const std::string& path, const char* ending);
// The row whose endings path has; null for none.
const TFormat* FormatOf(const std::string& path);
// The row of an export format.
const TFormat& ExportFormatInfo(TExportFormat format);
// The export format path's ending names; nothing for an ending that is not written.
std::optional<TExportFormat> ExportFormatOf(const std::string& path);
// The import's format for path's ending; nothing for gf4 and for any ending not imported.
std::optional<TImportFormat> ImportFormatOf(const std::string& path);
// The endings of the formats of that use, in the table's order, as a message lists them.
std::string KnownEndings(TFormatUse use);
// The formats opened besides gf4, as the help names them: "GraphML (.graphml), Graphviz DOT (.dot,
// .gv), ...".
std::string ReadableFormatsText();
// A file dialog's filter of the format: its caption and its first ending as a pattern.
QString DialogFilter(const TFormat& format);
