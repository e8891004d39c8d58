// Any graph file into the record, laid out.

#include "GraphSource.h"

bool ReadGraphSource(const std::string& path, std::optional<TLayout> layout, Tgraph& g, TGraphSource& source) {
    source = TGraphSource();
    std::vector<bool> placed;
    if (ImportFormatOf(path)) {
        source.imported = true;
        TImportResult result;
        const bool read = ImportGraph(path, g, result);
        source.notes = std::move(result.notes);
        if (!read) {
            source.error = std::move(result.error);
            return false;
        }
        placed = std::move(result.placed);
    } else {
        LoadGraph(g, path);
        if (!g.created) return false;
    }
    const TLayout chosen = layout.value_or(DefaultLayout(g, placed));
    if (chosen == TLayout::Keep && !source.imported) return true;
    if (!LayOut(g, chosen, placed, source.error)) {
        InitGraph(g);
        return false;
    }
    return true;
}
