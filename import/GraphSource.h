#pragma once
// Opening any graph file: gf4 through LoadGraph, the formats of other programs through
// ImportGraph, then placing the vertices (--layout). The one call the command line and the
// window's Open make.

#include "ImportGraph.h"
#include "Layout.h"

#include <optional>
#include <string>
#include <vector>

struct TGraphSource {
    bool imported = false;           // the file is not gf4: the graph gets no file name
    std::string error;               // an imported file's reason for failing; empty for a gf4 file
    std::vector<std::string> notes;  // what changed on the way in
};

// Reads path into g: a gf4 file exactly as LoadGraph reads it (g.fileName = path), another format
// by its ending as ImportGraph reads it (no file name). Then the layout asked for, or else the
// default one (keep for gf4 and for files with positions, neato for the others). False, g not
// created, when the file gives no graph.
bool ReadGraphSource(const std::string& path, std::optional<TLayout> layout, Tgraph& g, TGraphSource& source);
