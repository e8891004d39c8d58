#pragma once
// Opening any graph file: gf4 through LoadGraphReport, the formats of other programs through
// ImportGraph, then placing the vertices (--layout). The one call the command line and the
// window's Open make.

#include "FileFailure.h"
#include "ImportGraph.h"
#include "Layout.h"

#include <optional>
#include <string>
#include <vector>

struct TGraphSource {
    bool imported = false;          // not gf4: the graph gets no file name
    TFileFailure failure;           // the file could not be read, or (gf4) is no graph file
    std::string problem;            // else why an imported file, or the layout, gives no graph
    std::string damage;             // gf4: what a file that reads as a graph lacks (LoadGraphReport)
    std::vector<std::string> notes; // what changed on the way in
};

// Reads path into g: a gf4 file exactly as LoadGraph reads it (g.fileName = path), another format
// by its ending as ImportGraph reads it (no file name). Then the layout asked for, or else the
// default one (keep for gf4 and for files with positions, neato for the others). False, g not
// created, when the file gives no graph.
bool ReadGraphSource(const std::string& path, std::optional<TLayout> layout, Tgraph& g, TGraphSource& source);

// "Cannot open "PATH": REASON" for a source that gave no graph.
std::string SourceFailureText(const std::string& path, const TGraphSource& source);
