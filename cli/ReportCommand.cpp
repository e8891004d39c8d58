#include "ReportCommand.h"

#include "Analysis.h"
#include "FrameExport.h"
#include "GraphExport.h"
#include "GraphSource.h"
#include "Marks.h"
#include "SafeFile.h"
#include "TextCodec.h"
#include "TraceCommand.h"

#include <QGuiApplication>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace {

struct TReportEnding {
    const char* ending;
    TReportForm form;
};
constexpr TReportEnding ReportEndings[] = {
    {".json", TReportForm::Json},
    {".txt", TReportForm::Text},
    {".tex", TReportForm::Tex},
};

} // namespace

std::optional<TReportForm> ReportFormOf(const std::string& path) {
    for (const TReportEnding& e : ReportEndings)
        if (HasEnding(path, e.ending)) return e.form;
    return std::nullopt;
}

std::string KnownReportEndings() {
    std::string list;
    for (const TReportEnding& e : ReportEndings) list += (list.empty() ? "" : ", ") + std::string(e.ending);
    return list;
}

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Whether output names the file that input names, links followed.
bool SameFile(const std::string& input, const std::string& output) {
    struct stat a, b;
    return ::stat(input.c_str(), &a) == 0 && ::stat(output.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

int Fail(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return 1;
}

} // namespace

int RunReport(const TReportRequest& request) {
    using namespace analysis;
    if (!request.trace.empty()) return RunTrace(request);
    if (!request.report && request.exportPaths.empty()) return Fail("--show is given with --export or --report only.");
    if (!request.showColour.empty() && request.shows.empty()) return Fail("--show-colour is given with --show only.");
    const std::optional<TColor> highlight = ColorNamed(request.showColour);
    if (!request.showColour.empty() && !highlight)
        return Fail("Unknown colour \"" + request.showColour + "\"; the colours are " + ColorNameList() + ".");
    const bool toFile = request.report && !request.reportPath.empty() && request.reportPath != "-";
    const std::optional<TReportForm> form = toFile ? ReportFormOf(request.reportPath) : TReportForm::Text;
    if (!form)
        return Fail("Cannot write the report to " + Quoted(request.reportPath) +
                    ": unknown ending; the known ones are " + KnownReportEndings());
    std::vector<TExportFormat> formats;
    for (const std::string& output : request.exportPaths) {
        const std::optional<TExportFormat> format = ExportFormatOf(output);
        if (!format)
            return Fail("Cannot export to " + Quoted(output) + ": unknown ending; the known ones are " +
                        KnownEndings(TFormatUse::Export));
        formats.push_back(*format);
    }
    std::vector<std::string> outputs = request.exportPaths;
    if (toFile) outputs.push_back(request.reportPath);
    for (const std::string& output : outputs)
        if (SameFile(request.file, output))
            return Fail("Cannot write " + Quoted(output) + ": it is the graph file being read");

    auto g = std::make_unique<Tgraph>();
    // Any format the import reads, laid out as asked, as --export reads it.
    TGraphSource source;
    if (!ReadGraphSource(request.file, request.layout, *g, source))
        return Fail(SourceFailureText(request.file, source));
    if (!source.damage.empty()) return Fail(DamageText(request.file, source.damage));
    for (const std::string& note : source.notes) std::fprintf(stderr, "%s\n", note.c_str());

    // Everything is computed before anything is written.
    std::vector<std::string> bytes;
    TMarks marks;
    marks.highlight = request.showColour.empty() ? DefaultHighlight(*g) : *highlight;
    std::string reportBytes;
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
            switch (*form) {
            case TReportForm::Json: reportBytes = ReportJsonText(report); break;
            case TReportForm::Tex: reportBytes = ReportTex(report, *g); break;
            case TReportForm::Text: reportBytes = ReportText(report, *g); break;
            }
        }
    } catch (const TAnalysisError& e) {
        return Fail(e.what());
    }
    for (std::size_t i = 0; i < formats.size(); ++i) {
        try {
            // Without a size, the picture holds the results' texts too.
            const std::optional<TPictureSize> size =
                request.size
                    ? request.size
                    : std::optional<TPictureSize>(FramesPictureSize(*g, 1, [&](int, TMarks& m) { m = marks; }));
            bytes.push_back(ExportBytes(*g, formats[i], size, marks));
        } catch (const std::exception& e) {
            return Fail("Cannot export to " + Quoted(request.exportPaths[i]) + ": " + e.what());
        }
    }
    if (toFile) bytes.push_back(reportBytes);

    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (const TFileFailure failure = AsFileFailure(ReplaceFile(outputs[i], bytes[i])))
            return Fail(WriteFailureText(outputs[i], failure));
    if (!request.report || toFile) return 0;
    std::fwrite(reportBytes.data(), 1, reportBytes.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : Fail("Cannot write the report to standard output.");
}

int RunReportCommand(int& argc, char** argv, const TCommandLine& command) {
    TReportRequest request;
    request.file = EncodeFileName(command.file).toStdString();
    request.report = command.report;
    request.layout = command.layout;
    request.reportPath = EncodeFileName(command.reportPath).toStdString();
    for (const QString& path : command.exportPaths) request.exportPaths.push_back(EncodeFileName(path).toStdString());
    if (command.exportWidth > 0) request.size = TPictureSize{command.exportWidth, command.exportHeight};
    for (const QString& show : command.shows) request.shows.push_back(show.toStdString());
    request.showColour = command.showColour.toStdString();
    request.trace = command.trace.toStdString();
    if (request.exportPaths.empty()) return RunReport(request); // no pictures: no Qt at all
    // Pictures need the fonts of an application; the offscreen one, whatever the display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    const QGuiApplication app(argc, argv);
    return RunReport(request);
}
