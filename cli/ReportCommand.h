#pragma once
// The analysis from the command line: nodeloom FILE --report [OUTPUT] and --show RESULT with
// --export or --report, without a window.

#include "CommandLine.h"
#include "Layout.h"
#include "PictureBounds.h"

#include <optional>
#include <string>
#include <vector>

struct TReportRequest {
    std::string file;                     // the graph file
    bool report = false;                  // --report given
    std::string reportPath;               // a report form's ending; empty or "-" for text on standard output
    std::vector<std::string> exportPaths; // --export's outputs, the results drawn in
    std::optional<TPictureSize> size;     // --size
    std::vector<std::string> shows;       // --show, in order
    std::string showColour;               // --show-colour; empty for the default
    std::optional<TLayout> layout;        // --layout; nothing for the file's default
    std::string trace;                    // --trace ALGORITHM; empty for none (see TraceCommand.h)
};

// The forms a report (or any other text the command line writes) takes, by the output's ending:
// JSON, text, LaTeX.
enum class TReportForm { Json, Text, Tex };
std::optional<TReportForm> ReportFormOf(const std::string& path);
// The report's endings, as a message lists them.
std::string KnownReportEndings();

// Reads the graph, computes the report and the results, then writes every output through the
// safe replacement of the graph save. A failure before writing: one line on standard error, 1,
// nothing written and every existing output untouched. A picture export needs a
// QGuiApplication already made.
int RunReport(const TReportRequest& request);

// The Report action of a command line: RunReport, with the offscreen application the pictures
// need when there are any.
int RunReportCommand(int& argc, char** argv, const TCommandLine& command);
