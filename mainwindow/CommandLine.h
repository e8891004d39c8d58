#pragma once
// The program's command line: nodeloom [FILE], --help, --version.

#include <QString>
#include <QStringList>

struct TCommandLine {
    enum class TAction { Start, Exit };
    TAction action = TAction::Start;
    int exitCode = 0;
    QString output; // what to print before exiting (usage, version or the error)
    QString file;   // the graph file to open at start, absolute; empty for none
};

// Reads the arguments (program name first). Needs no application object, so --help and
// --version work without a display.
TCommandLine ParseCommandLine(const QStringList& arguments);
