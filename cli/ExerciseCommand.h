#pragma once
// The exercise actions of the command line, without a window:
//   nodeloom --generate CONSTRAINTS --seed N [--export OUT...] [--report [OUT]] [--show RESULT...]
//   nodeloom --check ANSWER --task TASK.json
//   nodeloom --check-dir DIR --task TASK.json [--report grades.csv]
//   nodeloom --exam TASKS.json --variants K --seed N --export exam.tex|exam.pdf

#include "CommandLine.h"

#include <QString>
#include <QStringList>

// Whether the arguments name one of the exercise actions (and neither --help nor --version).
bool IsExerciseCommand(const QStringList& arguments);

// Reads an exercise command line (program name first): the Exercise action with the arguments
// kept for RunExerciseCommand, or Exit with the one line that says what is wrong (code 1; 2 for
// --check and --check-dir, whose failures to read are 2).
TCommandLine ParseExerciseCommandLine(const QStringList& arguments);

// The options as --help lists them, after the others.
QString ExerciseHelpText();

// Runs the action: the exit code (see each action).
int RunExerciseCommand(int& argc, char** argv, const TCommandLine& command);
