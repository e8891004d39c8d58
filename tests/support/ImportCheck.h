#pragma once
// The check of one import, shared by the import fuzz targets and the test that replays their
// kept seeds and findings: a refusal gives a reason and leaves no graph; an accepted graph is one
// the record holds, and comes back byte for byte through the GraphML and DOT exports.

#include "FormatWriters.h"
#include "ImportGraph.h"
#include "TextExport.h"

#include <string>

// "" when the bytes pass, else what broke.
inline std::string CheckImportOf(const std::string& bytes, TImportFormat format) {
    Tgraph g;
    TImportResult result;
    if (!ImportGraphText(bytes, format, g, result)) {
        if (result.error.empty()) return "refused without a reason";
        if (g.created) return "refused, but a graph is left";
        return {};
    }
    if (g.vertexCount < 0 || g.vertexCount > MaxVertices || g.edgeCount < 0 || g.edgeCount > MaxEdges)
        return "counts out of range";
    if (result.placed.size() != static_cast<std::size_t>(g.vertexCount) + 1) return "placed has the wrong size";
    const std::string file = GraphFileText(g);
    const struct {
        std::string text;
        TImportFormat format;
    } exports[] = {{GraphMLText(g), TImportFormat::GraphML}, {DotText(g), TImportFormat::Dot}};
    for (const auto& e : exports) {
        Tgraph back;
        TImportResult again;
        if (!ImportGraphText(e.text, e.format, back, again)) {
            // A name of more than 1 MiB is beyond what the DOT reader takes; everything else returns.
            if (e.format == TImportFormat::Dot && again.error.find("1 MiB") != std::string::npos) continue;
            return "the export is not read back: " + again.error;
        }
        if (GraphFileText(back) != file) return "the export reads back as another graph";
    }
    return {};
}
