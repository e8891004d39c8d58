#pragma once
// An algorithm step by step from the command line: nodeloom FILE --trace ALGORITHM with
// --report [OUTPUT] (the trace as JSON, or its tables as text or LaTeX) and/or --export OUTPUT
// (its frames: a PDF page, a Beamer overlay or a numbered picture each).

#include "ReportCommand.h"

#include <QString>
#include <QStringList>

// What --help says of --trace.
QString TraceHelp();
// Checks --trace against the rest of the line and keeps its algorithm in trace; returns the
// message that refuses the line, or nothing. Without --report and --export the editor opens the
// graph file with the trace shown, so one must be named.
QString TraceArguments(const QStringList& values, bool report, bool exporting, bool showing, const QStringList& files,
                       QString& trace);

// Reads the graph, runs the trace and writes every output through the safe replacement of the
// graph save, as RunReport does: nothing is written when anything fails before. A picture export
// needs a QGuiApplication already made.
int RunTrace(const TReportRequest& request);
