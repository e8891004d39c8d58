#include "Formats.h"

#include "BmpWriter.h"
#include "GraphExport.h"

#include <cctype>
#include <cstring>
#include <stdexcept>

// clang-format off
const TFormat Formats[11] = {
    {{".png"}, "PNG picture", "PNG Image File", TFormatKind::Raster,
     std::nullopt, TExportFormat::Png, WritePng, EncodePng},
    {{".bmp"}, "Windows bitmap", "Bitmaps", TFormatKind::Raster,
     std::nullopt, TExportFormat::Bmp, WriteBmp, EncodeBmp},
    {{".jpg", ".jpeg"}, "JPEG picture", "JPEG Image File", TFormatKind::Raster,
     std::nullopt, TExportFormat::Jpeg, WriteJpeg, EncodeJpegPicture},
    {{".svg"}, "SVG drawing, text as text", "SVG Drawing", TFormatKind::Vector,
     std::nullopt, TExportFormat::Svg, WriteSvg, nullptr},
    {{".pdf"}, "PDF page, text as text", "PDF Document", TFormatKind::Vector,
     std::nullopt, TExportFormat::Pdf, WritePdf, nullptr},
    {{".dot", ".gv"}, "Graphviz DOT", nullptr, TFormatKind::Graph,
     TImportFormat::Dot, TExportFormat::Dot, WriteDot, nullptr},
    {{".graphml"}, "GraphML", nullptr, TFormatKind::Graph,
     TImportFormat::GraphML, TExportFormat::GraphML, WriteGraphML, nullptr},
    {{".tex"}, "LaTeX TikZ picture", "LaTeX TikZ Picture", TFormatKind::Text,
     std::nullopt, TExportFormat::Tikz, WriteTikz, nullptr},
    {{".gf4"}, "Nodeloom graph file", "Graph format 4", TFormatKind::Graph,
     std::nullopt, TExportFormat::Gf4, WriteGf4, nullptr},
    {{".g6", ".s6"}, "graph6, sparse6 or digraph6", nullptr, TFormatKind::Graph,
     TImportFormat::Graph6, std::nullopt, nullptr, nullptr},
    {{".txt", ".csv"}, "edge list or adjacency matrix", nullptr, TFormatKind::Graph,
     TImportFormat::Text, std::nullopt, nullptr, nullptr},
};
// clang-format on

bool HasEnding(const std::string& path, const char* ending) {
    const std::size_t n = std::strlen(ending), slash = path.rfind('/');
    const std::size_t name = path.size() - (slash == std::string::npos ? 0 : slash + 1);
    if (n == 0 || ending[0] != '.' || name <= n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(path[path.size() - n + i])) != ending[i]) return false;
    return true;
}

const TFormat* FormatOf(const std::string& path) {
    for (const TFormat& format : Formats)
        for (const char* ending : format.endings)
            if (ending && HasEnding(path, ending)) return &format;
    return nullptr;
}

const TFormat& ExportFormatInfo(TExportFormat format) {
    for (const TFormat& row : Formats)
        if (row.exportAs == format) return row;
    throw std::logic_error("an export format without a row in the table");
}

std::optional<TExportFormat> ExportFormatOf(const std::string& path) {
    const TFormat* format = FormatOf(path);
    return format ? format->exportAs : std::nullopt;
}

std::optional<TImportFormat> ImportFormatOf(const std::string& path) {
    const TFormat* format = FormatOf(path);
    return format ? format->import : std::nullopt;
}

namespace {

bool Serves(const TFormat& format, TFormatUse use) {
    return use == TFormatUse::Export ? format.exportAs.has_value()
                                     : format.import || format.exportAs == TExportFormat::Gf4;
}

std::string EndingList(const TFormat& format) {
    std::string list;
    for (const char* ending : format.endings)
        if (ending) list += (list.empty() ? "" : ", ") + std::string(ending);
    return list;
}

} // namespace

std::string KnownEndings(TFormatUse use) {
    std::string list;
    for (const TFormat& format : Formats)
        if (Serves(format, use)) list += (list.empty() ? "" : ", ") + EndingList(format);
    return list;
}

std::string ReadableFormatsText() {
    std::string text;
    for (const TFormat& format : Formats)
        if (format.import)
            text += (text.empty() ? "" : ", ") + std::string(format.description) + " (" + EndingList(format) + ")";
    return "gf4, or by its ending " + text;
}

QString DialogFilter(const TFormat& format) {
    return QStringLiteral("%1 (*%2)")
        .arg(QString::fromLatin1(format.dialogName), QString::fromLatin1(format.endings[0]));
}
