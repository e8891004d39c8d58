#include "FrameExport.h"

#include "Geometry.h"
#include "Marks.h"
#include "RasterCanvas.h"
#include "TextExport.h"

#include <algorithm>
#include <stdexcept>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

} // namespace

bool FrameFormat(TExportFormat format) {
    return format != TExportFormat::Dot && format != TExportFormat::GraphML && format != TExportFormat::Gf4;
}

std::vector<std::string> FramePaths(const std::string& path, TExportFormat format, int frames) {
    if (format == TExportFormat::Pdf || format == TExportFormat::Tikz) return {path};
    const std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
    const int width = std::max<int>(3, static_cast<int>(std::to_string(std::max(0, frames - 1)).size()));
    std::vector<std::string> paths;
    for (int k = 0; k < frames; ++k) {
        std::string number = std::to_string(k);
        number.insert(0, static_cast<std::size_t>(width) - std::min<std::size_t>(number.size(), width), '0');
        paths.push_back(path.substr(0, dot) + "-" + number + path.substr(dot));
    }
    return paths;
}

std::string BeamerFrames(const Tgraph& g, int frames, const TFrameMarks& marksOf) {
    // The pictures of every frame line by line: TikzText writes each vertex and edge on a line
    // of its own in the same order whatever the marks, so line i is the same part in every frame.
    std::vector<std::vector<std::string>> pictures;
    for (int k = 0; k < frames; ++k) {
        TMarks marks;
        marksOf(k, marks);
        pictures.push_back(Lines(TikzText(g, marks)));
        if (pictures.back().size() != pictures.front().size()) throw std::runtime_error("the frames do not line up");
    }
    const std::string last = std::to_string(frames);
    std::string out = "% Nodeloom trace, " + std::to_string(frames) +
                      " frames: \\begin{frame}\\input{this file}\\end{frame} gives a slide a frame (Beamer with "
                      "tikz); elsewhere the last frame.\n"
                      "\\providecommand\\nodeloomframe{}\n"
                      "\\ifdefined\\onslide\\renewcommand\\nodeloomframe{\\only}\\else\n"
                      "\\def\\nodeloomframe<#1-#2>#3{\\ifnum#2=" +
                      last + "\\relax#3\\fi}\\fi\n";
    const std::vector<std::string>& first = pictures.front();
    for (std::size_t i = 0; i < first.size(); ++i) {
        bool same = true;
        for (const auto& p : pictures) same = same && p[i] == first[i];
        if (same) {
            out += first[i] + "\n";
            continue;
        }
        // Frames alike in a row share one overlay; slides count from 1.
        for (int from = 0; from < frames;) {
            int to = from;
            while (to + 1 < frames &&
                   pictures[static_cast<std::size_t>(to + 1)][i] == pictures[static_cast<std::size_t>(from)][i])
                ++to;
            out += "  \\nodeloomframe<" + std::to_string(from + 1) + "-" + std::to_string(to + 1) + ">{" +
                   pictures[static_cast<std::size_t>(from)][i] + "}\n";
            from = to + 1;
        }
    }
    // Every frame a slide, however alike the last ones are.
    const std::size_t end = out.rfind("\\end{tikzpicture}");
    out.insert(end, "  \\nodeloomframe<" + last + "-" + last + ">{}\n");
    return out;
}

TPictureSize FramesPictureSize(const Tgraph& g, int frames, const TFrameMarks& marksOf) {
    QImage none;
    TRasterCanvas measure(none);
    long long right = 0, bottom = 0;
    for (int k = 0; k < frames; ++k) {
        TMarks marks;
        marksOf(k, marks);
        TBoundsCanvas bounds(measure);
        DrawGraph(g, bounds, marks);
        right = std::max(right, bounds.Right());
        bottom = std::max(bottom, bounds.Bottom());
    }
    const long long m = geometry::PictureMargin;
    return {static_cast<int>(std::min<long long>(right + m, geometry::MaxPictureSide)),
            static_cast<int>(std::min<long long>(bottom + m, geometry::MaxPictureSide))};
}

std::vector<std::string> FrameBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size, int frames,
                                    const TFrameMarks& marksOf) {
    if (!size && format != TExportFormat::Tikz) size = FramesPictureSize(g, frames, marksOf);
    if (format == TExportFormat::Pdf) return {PdfFrameBytes(g, size, frames, marksOf)};
    if (format == TExportFormat::Tikz) return {BeamerFrames(g, frames, marksOf)};
    if (!FrameFormat(format)) throw std::runtime_error("a trace is drawn as pictures, PDF or TikZ");
    std::vector<std::string> files;
    for (int k = 0; k < frames; ++k) {
        TMarks marks;
        marksOf(k, marks);
        files.push_back(ExportBytes(g, format, size, marks));
    }
    return files;
}
