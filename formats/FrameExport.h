#pragma once
// A graph in frames, as an algorithm's run draws it step by step: each frame is the graph with
// the marks of that frame over it. A PDF holds one page a frame; a TikZ file one picture whose
// marks carry Beamer overlay specifications (one slide a frame); every other picture format one
// file a frame, OUT-000.png, OUT-001.png, ...

#include "GraphExport.h"

#include <functional>
#include <string>
#include <vector>

using TFrameMarks = std::function<void(int frame, TMarks& marks)>;

// The files a picture format writes for the frames: the path itself for PDF and TikZ, else the
// path with "-NNN" before its ending, numbered from 0 and zero-padded to the width of the last
// number, at least three digits.
std::vector<std::string> FramePaths(const std::string& path, TExportFormat format, int frames);

// Whether the format draws frames: the picture formats, PDF and TikZ; not DOT, GraphML or gf4.
bool FrameFormat(TExportFormat format);

// The smallest picture anchored at (0, 0) that holds every frame, the texts beside vertices
// included, with ExportPictureSize's margin.
TPictureSize FramesPictureSize(const Tgraph& g, int frames, const TFrameMarks& marksOf);

// The bytes of each file FramePaths names, in its order; without a size, of FramesPictureSize. Throws
// std::runtime_error when a picture cannot be made.
std::vector<std::string> FrameBytes(const Tgraph& g, TExportFormat format, std::optional<TPictureSize> size, int frames,
                                    const TFrameMarks& marksOf);

// The TikZ picture of the frames: what every frame draws alike once, what differs wrapped in
// \only<a-b>{...}, so that \begin{frame}\input{FILE}\end{frame} gives one slide a frame with
// only beamer and tikz loaded. Outside Beamer the file shows the last frame.
std::string BeamerFrames(const Tgraph& g, int frames, const TFrameMarks& marksOf);
