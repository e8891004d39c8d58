#include "ReportCommand.h"

#include "Analysis.h"
#include "GraphExport.h"
#include "Marks.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

const char* const KnownReportEndings = ".json, .txt, .tex";

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWith(const std::string& text, const char* ending) {
    const std::size_t n = std::strlen(ending);
    const std::size_t slash = text.rfind('/');
    const std::size_t name = text.size() - (slash == std::string::npos ? 0 : slash + 1);
    return name > n && Lower(text).compare(text.size() - n, n, ending) == 0;
}

// The colour of a name in the colour table, in any case.
bool ColourNamed(const std::string& name, TColor& colour) {
    for (const TColorEntry& e : ColorTable)
        if (Lower(name) == e.name) return colour = e.value, true;
    return false;
}

// The line for a failed write, with the save's own texts where it has them.
std::string WriteFailure(const std::string& path, const EInOutError& e) {
    const bool named = e.ErrorCode == 3 || e.ErrorCode == 4 || e.ErrorCode == 5 || e.ErrorCode == 101;
    return "Cannot write " + Quoted(path) + ": " + (named ? e.what() : std::strerror(e.ErrorCode));
}

int Fail(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return 1;
}

} // namespace

int RunReport(const TReportRequest& request) {
    using namespace analysis;
    if (!request.report && request.exportPath.empty())
        return Fail("--show is given with --export or --report only.");
    if (!request.showColour.empty() && request.shows.empty()) return Fail("--show-colour is given with --show only.");
    TColor highlight = 0;
    if (!request.showColour.empty() && !ColourNamed(request.showColour, highlight))
        return Fail("Unknown colour \"" + request.showColour +
                    "\"; the colours are black, maroon, green, olive, navy, purple, teal, gray, silver, red, lime, "
                    "yellow, blue, fuchsia, aqua and white.");
    const bool toFile = request.report && !request.reportPath.empty() && request.reportPath != "-";
    if (toFile && !EndsWith(request.reportPath, ".json") && !EndsWith(request.reportPath, ".txt") &&
        !EndsWith(request.reportPath, ".tex"))
        return Fail("Cannot write the report to " + Quoted(request.reportPath) + ": unknown ending; the known ones are " +
                    KnownReportEndings);
    std::optional<TExportFormat> format;
    if (!request.exportPath.empty()) {
        format = ExportFormatOf(request.exportPath);
        if (!format)
            return Fail("Cannot export to " + Quoted(request.exportPath) + ": unknown ending; the known ones are " +
                        KnownExportEndings);
    }

    auto g = std::make_unique<Tgraph>();
    LoadGraph(*g, request.file);
    if (!g->created) return Fail("Cannot read " + Quoted(request.file) + ": " + GraphReadFailure(request.file));

    // Everything is computed before anything is written.
    std::string reportBytes, exportBytes;
    TMarks marks;
    marks.highlight = request.showColour.empty() ? DefaultHighlight(*g) : highlight;
    try {
        TJson report = request.report ? Report(*g) : TJson();
        for (const std::string& text : request.shows) {
            const TResultRequest result = ParseResult(*g, text);
            const TJson value = Result(*g, result);
            AddMarks(*g, result, value, marks);
            // mst, euler, matching, colouring and components are the report's own items.
            if (request.report && !report.contains(result.word)) report[result.word] = value;
        }
        if (request.report) {
            if (toFile && EndsWith(request.reportPath, ".json")) reportBytes = ReportJsonText(report);
            else if (toFile && EndsWith(request.reportPath, ".tex")) reportBytes = ReportTex(report, *g);
            else reportBytes = ReportText(report, *g);
        }
    } catch (const TAnalysisError& e) {
        return Fail(e.what());
    }
    if (format) {
        try {
            exportBytes = ExportBytes(*g, *format, request.size, request.shows.empty() ? nullptr : &marks);
        } catch (const std::exception& e) {
            return Fail("Cannot export to " + Quoted(request.exportPath) + ": " + e.what());
        }
    }

    if (format) {
        try {
            SaveFileSafely(request.exportPath, exportBytes);
        } catch (const EInOutError& e) {
            return Fail(WriteFailure(request.exportPath, e));
        }
    }
    if (!request.report) return 0;
    if (!toFile) {
        std::fwrite(reportBytes.data(), 1, reportBytes.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : Fail("Cannot write the report to standard output.");
    }
    try {
        SaveFileSafely(request.reportPath, reportBytes);
    } catch (const EInOutError& e) {
        return Fail(WriteFailure(request.reportPath, e));
    }
    return 0;
}
