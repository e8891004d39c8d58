#pragma once
// The program's command line: nodeloom [FILE], --help, --version, and the actions that run
// without a window: nodeloom FILE --export OUTPUT [--export OUTPUT...] [--size WIDTHxHEIGHT] [--crop],
// --layout for either, and the analysis: nodeloom FILE --report [OUTPUT] and --show RESULT
// [--show-colour NAME] with --export or --report, or alone to open the editor with them drawn;
// --trace ALGORITHM with either, or alone to open the editor with it; nodeloom FILE --describe [OUTPUT], alone or with
// --export and
// --show.

#include <QString>
#include <QStringList>

#include "Layout.h"

#include <optional>

struct TCommandLine {
    enum class TAction { Start, Exit, Export, Report, Exercise };
    TAction action = TAction::Start;
    int exitCode = 0;
    QString output;          // what to print before exiting (usage, version or the error)
    QString file;            // the graph file to open at start, absolute; empty for none. Export: as given
    QStringList exportPaths; // the files to export to, in the order given
    int exportWidth = 0, exportHeight = 0; // --size; 0 for the size of the drawing
    bool exportCrop = false;               // --crop: the drawing alone, not the surface from its corner
    std::optional<TLayout> layout;         // --layout; nothing for the file's default
    // Report: --report and its output (empty for standard output), --show and --show-colour (Start:
    // the results the editor shows).
    bool report = false;
    QString reportPath;
    QStringList shows;
    QString showColour;
    // Exercise: the arguments, read again by RunExerciseCommand (ExerciseCommand.h).
    QStringList exerciseArguments;
    QString trace; // --trace ALGORITHM: the run step by step, with --report and/or --export (Start: shown)
    // --describe and its output (empty: standard output, or with --export the pictures alone).
    bool describe = false;
    QString describePath;
};

// Reads the arguments (program name first). Needs no application object, so --help and
// --version work without a display.
TCommandLine ParseCommandLine(const QStringList& arguments);
