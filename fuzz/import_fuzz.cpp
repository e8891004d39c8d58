// libFuzzer targets of the import readers (one per format, chosen at build time by
// NODELOOM_IMPORT_FORMAT): any bytes either give a reason or a graph the record holds, and that
// graph comes back byte for byte through the GraphML and DOT exports.

#include "ImportGraph.h"
#include "TextExport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Broken(const std::string& what) {
    std::fprintf(stderr, "import check failed: %s\n", what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Tgraph g;
    TImportResult result;
    if (!ImportGraphText(bytes, TImportFormat::NODELOOM_IMPORT_FORMAT, g, result)) {
        if (result.error.empty()) Broken("refused without a reason");
        if (g.created) Broken("refused, but a graph is left");
        return 0;
    }
    if (g.vertexCount < 0 || g.vertexCount > MaxVertices || g.edgeCount < 0 || g.edgeCount > MaxEdges)
        Broken("counts out of range");
    if (result.placed.size() != static_cast<std::size_t>(g.vertexCount) + 1) Broken("placed has the wrong size");
    const std::string file = GraphFileText(g);
    const struct {
        std::string text;
        TImportFormat format;
    } exports[] = {{GraphMLText(g), TImportFormat::GraphML}, {DotText(g), TImportFormat::Dot}};
    for (const auto& e : exports) {
        Tgraph back;
        TImportResult again;
        // A name of more than 1 MiB is beyond what the DOT reader takes; everything else returns.
        if (!ImportGraphText(e.text, e.format, back, again)) {
            if (e.format == TImportFormat::Dot && again.error.find("1 MiB") != std::string::npos) continue;
            Broken("the export is not read back: " + again.error);
        }
        if (GraphFileText(back) != file) Broken("the export reads back as another graph");
    }
    return 0;
}
