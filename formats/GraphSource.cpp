// Any graph file into the record, laid out.

#include "GraphSource.h"

#include "Formats.h"

bool ReadGraphSource(const std::string& path, std::optional<TLayout> layout, Tgraph& g, TGraphSource& source) {
    source = TGraphSource();
    std::vector<bool> placed;
    if (const std::optional<TImportFormat> format = ImportFormatOf(path)) {
        source.imported = true;
        TImportResult result;
        const bool read = ImportGraph(path, *format, g, result);
        source.notes = std::move(result.notes);
        if (!read) {
            source.failure = result.readFailure;
            if (!source.failure) source.problem = std::move(result.error);
            return false;
        }
        placed = std::move(result.placed);
    } else {
        TLoadReport report = LoadGraphReport(g, path);
        source.failure = std::move(report.failure);
        source.damage = std::move(report.damage);
        if (source.failure || !g.created) return false;
    }
    const TLayout chosen = layout.value_or(DefaultLayout(g, placed));
    if (chosen == TLayout::Keep && !source.imported) return true;
    if (!LayOut(g, chosen, placed, source.problem)) {
        InitGraph(g);
        return false;
    }
    return true;
}

std::string SourceFailureText(const std::string& path, const TGraphSource& source) {
    if (source.failure) return OpenFailureText(path, source.failure);
    return "Cannot open \"" + path + "\": " + (source.problem.empty() ? "it is not a graph file" : source.problem);
}
