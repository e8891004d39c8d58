#pragma once
// What the command-line actions share as they read the graph file and write their outputs:
// messages on standard error, the check that an output is not the file being read, and the
// writes, each through the safe replacement of the graph save.

#include "Formats.h"
#include "Graph_obj.h"
#include "Layout.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// path in double quotes, as the messages name files.
std::string Quoted(const std::string& path);
// Whether output names the file that input names, links followed.
bool SameFile(const std::string& input, const std::string& output);
// The line on standard error; 1, the exit status of a refused command.
int Fail(const std::string& line);

// The graph in file, read as --export reads any format the import knows, laid out as asked; its
// reader's notes go to standard error. Null, with the reason on standard error, for a file that
// cannot be read or is damaged.
std::unique_ptr<Tgraph> ReadCommandGraph(const std::string& file, const std::optional<TLayout>& layout);

// The export format of each path by its ending, in order; 1, with the first unknown ending
// said, when one has none.
int ExportFormatsOf(const std::vector<std::string>& paths, std::vector<TExportFormat>& formats);

// Refuses an output that is the graph file itself, naming it; then writes bytes[i] to outputs[i]
// in order and stops at the first failure, said. 0 when every output was written.
int RefuseGraphFile(const std::string& file, const std::vector<std::string>& outputs);
int WriteOutputs(const std::vector<std::string>& outputs, const std::vector<std::string>& bytes);
