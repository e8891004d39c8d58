#include "TraceCommand.h"

#include "CommandOutput.h"
#include "FrameExport.h"
#include "GraphSource.h"
#include "Marks.h"
#include "SafeFile.h"
#include "Trace.h"

#include <cstdio>
#include <memory>

QString TraceHelp() {
    return QStringLiteral(
               "Run an algorithm step by step, with --report (the steps as .json, or their tables as .txt "
               "or .tex; none or \"-\": text on standard output) and/or --export (a frame for the graph "
               "before the first step and one after each: .pdf a page each, .tex one TikZ picture with "
               "Beamer overlays, other pictures OUT-000.png, OUT-001.png, ...). One of %1; a vertex by its "
               "name or as #N. Alone: the editor opens the file with the trace drawn, stepped by Page Down and Page "
               "Up, Home and End.")
        .arg(QString::fromLatin1(analysis::TraceAlgorithms));
}

QString TraceArguments(const QStringList& values, bool report, bool exporting, bool showing, const QStringList& files,
                       QString& trace) {
    if (values.size() > 1) return QStringLiteral("--trace is given once.\n");
    if (!report && !exporting && files.isEmpty())
        return QStringLiteral("Cannot trace: no graph file is named; nodeloom FILE --trace ALGORITHM opens it with "
                              "the steps to go through.\n");
    if (showing) return QStringLiteral("--trace and --show are not given together.\n");
    trace = values.first();
    return {};
}

int RunTrace(const TReportRequest& request) {
    using namespace analysis;
    const bool toFile = request.report && !request.reportPath.empty() && request.reportPath != "-";
    const std::optional<TReportForm> form = toFile ? ReportFormOf(request.reportPath) : TReportForm::Text;
    if (!form)
        return Fail("Cannot write the trace to " + Quoted(request.reportPath) +
                    ": unknown ending; the known ones are " + KnownReportEndings());
    std::vector<TExportFormat> formats;
    if (ExportFormatsOf(request.exportPaths, formats) != 0) return 1;
    for (std::size_t i = 0; i < formats.size(); ++i)
        if (!FrameFormat(formats[i]))
            return Fail("Cannot export to " + Quoted(request.exportPaths[i]) +
                        ": a trace is drawn as pictures, PDF or TikZ");

    const std::unique_ptr<Tgraph> g = ReadCommandGraph(request.file, request.layout);
    if (!g) return 1;

    // Everything is computed before anything is written.
    TJson trace;
    std::string reportBytes;
    try {
        trace = Trace(*g, ParseTrace(*g, request.trace));
        switch (*form) {
        case TReportForm::Json: reportBytes = TraceJsonText(trace); break;
        case TReportForm::Tex: reportBytes = TraceTex(trace); break;
        case TReportForm::Text: reportBytes = TraceText(trace); break;
        }
    } catch (const TAnalysisError& e) {
        return Fail(e.what());
    }
    const int frames = TraceFrames(trace);
    const TColor highlight = DefaultHighlight(*g);
    const TFrameMarks marksOf = [&](int frame, TMarks& marks) {
        marks.highlight = highlight;
        AddTraceMarks(*g, trace, frame, marks);
    };
    std::vector<std::string> outputs, bytes;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        try {
            std::vector<std::string> files = FrameBytes(*g, formats[i], request.size, frames, marksOf);
            const std::vector<std::string> paths = FramePaths(request.exportPaths[i], formats[i], frames);
            for (std::size_t k = 0; k < files.size(); ++k) {
                outputs.push_back(paths[k]);
                bytes.push_back(std::move(files[k]));
            }
        } catch (const std::exception& e) {
            return Fail("Cannot export to " + Quoted(request.exportPaths[i]) + ": " + e.what());
        }
    }
    if (toFile) {
        outputs.push_back(request.reportPath);
        bytes.push_back(reportBytes);
    }
    if (RefuseGraphFile(request.file, outputs) != 0 || WriteOutputs(outputs, bytes) != 0) return 1;
    if (!request.report || toFile) return 0;
    std::fwrite(reportBytes.data(), 1, reportBytes.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : Fail("Cannot write the trace to standard output.");
}
