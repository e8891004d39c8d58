#pragma once
// The command-line actions that run without a window: reading the graph file named, then writing
// it in the formats asked for.

#include "CommandLine.h"
#include "PictureBounds.h"

#include <optional>
#include <string>
#include <vector>

// Reads input once and writes each output in turn, in the format its ending names, through the
// safe replacement of the graph save: a failure leaves that output as it was and no partial
// file. Nothing is written when the input cannot be read, is no graph file or is damaged, when an
// output's ending is unknown, or when an output is the input itself (after links). Returns the one
// line that says which file failed and why; empty on success. The first failure ends the run:
// outputs before it are written.
std::string ExportGraphFile(const std::string& input, const std::vector<std::string>& outputs,
                            std::optional<TPictureSize> size);

// Runs the action a command line asked for on Qt's offscreen platform, whatever the display:
// silent on success (0), one line on standard error on failure (1).
int RunCommandLineAction(int& argc, char** argv, const TCommandLine& command);
