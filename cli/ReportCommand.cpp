#include "ReportCommand.h"

#include "Analysis.h"
#include "CommandOutput.h"
#include "Describe.h"
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

struct TDescriptionEnding {
    const char* ending;
    TDescriptionForm form;
};
constexpr TDescriptionEnding DescriptionEndings[] = {
    {".txt", TDescriptionForm::Text},
    {".md", TDescriptionForm::Markdown},
    {".json", TDescriptionForm::Json},
};

} // namespace

std::optional<TDescriptionForm> DescriptionFormOf(const std::string& path) {
    for (const TDescriptionEnding& e : DescriptionEndings)
        if (HasEnding(path, e.ending)) return e.form;
    return std::nullopt;
}

std::string KnownDescriptionEndings() {
    std::string list;
    for (const TDescriptionEnding& e : DescriptionEndings) list += (list.empty() ? "" : ", ") + std::string(e.ending);
    return list;
}

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

int RunReport(const TReportRequest& request) {
    using namespace analysis;
    if (!request.trace.empty()) return RunTrace(request);
    if (!request.report && !request.describe && request.exportPaths.empty())
        return Fail("--show is given with --export or --report only.");
    if (!request.showColour.empty() && request.shows.empty()) return Fail("--show-colour is given with --show only.");
    const std::optional<TColor> highlight = ColorNamed(request.showColour);
    if (!request.showColour.empty() && !highlight)
        return Fail("Unknown colour \"" + request.showColour + "\"; the colours are " + ColorNameList() + ".");
    const bool toFile = request.report && !request.reportPath.empty() && request.reportPath != "-";
    const std::optional<TReportForm> form = toFile ? ReportFormOf(request.reportPath) : TReportForm::Text;
    if (!form)
        return Fail("Cannot write the report to " + Quoted(request.reportPath) +
                    ": unknown ending; the known ones are " + KnownReportEndings());
    const bool describeToFile = request.describe && !request.describePath.empty() && request.describePath != "-";
    // Without an output, a description given with exports goes into the pictures alone.
    const bool describeToOutput = request.describe && (request.describePath == "-" ||
                                                       (request.describePath.empty() && request.exportPaths.empty()));
    const std::optional<TDescriptionForm> describeForm =
        describeToFile ? DescriptionFormOf(request.describePath) : TDescriptionForm::Text;
    if (!describeForm)
        return Fail("Cannot write the description to " + Quoted(request.describePath) +
                    ": unknown ending; the known ones are " + KnownDescriptionEndings());
    std::vector<TExportFormat> formats;
    if (ExportFormatsOf(request.exportPaths, formats) != 0) return 1;
    std::vector<std::string> outputs = request.exportPaths;
    if (toFile) outputs.push_back(request.reportPath);
    if (describeToFile) outputs.push_back(request.describePath);
    if (RefuseGraphFile(request.file, outputs) != 0) return 1;

    const std::unique_ptr<Tgraph> g = ReadCommandGraph(request.file, request.layout);
    if (!g) return 1;

    // Everything is computed before anything is written.
    std::vector<std::string> bytes;
    TMarks marks;
    marks.highlight = request.showColour.empty() ? DefaultHighlight(*g) : *highlight;
    std::string reportBytes, descriptionBytes;
    try {
        const TJson plain = request.report || request.describe ? Report(*g) : TJson();
        TJson report = request.report ? plain : TJson();
        std::vector<TShownResult> shown;
        for (const std::string& text : request.shows) {
            const TResultRequest result = ParseResult(*g, text);
            const TJson value = Result(*g, result);
            AddMarks(*g, result, value, marks);
            shown.emplace_back(result, value);
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
        if (request.describe) {
            const TDescription description = Describe(*g, plain, shown);
            marks.altText = description.shortText;
            marks.description = description.longText;
            switch (*describeForm) {
            case TDescriptionForm::Json: descriptionBytes = DescriptionJson(description); break;
            case TDescriptionForm::Markdown: descriptionBytes = DescriptionMarkdown(description); break;
            case TDescriptionForm::Text: descriptionBytes = DescriptionText(description); break;
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
    if (describeToFile) bytes.push_back(descriptionBytes);

    if (WriteOutputs(outputs, bytes) != 0) return 1;
    std::string printed = request.report && !toFile ? reportBytes : std::string();
    if (describeToOutput) printed += descriptionBytes;
    if (printed.empty()) return 0;
    std::fwrite(printed.data(), 1, printed.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : Fail("Cannot write the report to standard output.");
}

int RunReportCommand(int& argc, char** argv, const TCommandLine& command) {
    TReportRequest request;
    request.file = EncodeFileName(command.file).toStdString();
    request.report = command.report;
    request.layout = command.layout;
    request.reportPath = EncodeFileName(command.reportPath).toStdString();
    request.describe = command.describe;
    request.describePath = EncodeFileName(command.describePath).toStdString();
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
