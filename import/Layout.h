#pragma once
// Placing vertices: the layouts of --layout, inside the surface's default area.

#include "Graph_obj.h"

#include <optional>
#include <string>
#include <vector>

enum class TLayout { Neato, Circle, Grid, Keep };

// The area a laid-out graph fills, in surface pixels: about what the window's surface shows at
// the window's first size; every vertex circle keeps LayoutMargin pixels from its edges.
constexpr int LayoutAreaWidth = 400, LayoutAreaHeight = 340, LayoutMargin = 10;

// "neato", "circle", "grid", "keep"; nothing for any other word.
std::optional<TLayout> LayoutOf(const std::string& name);

// The layout a graph gets when none is asked for: keep when every vertex has a position
// (placed[v] for v in 1..n; a missing entry counts as placed), neato otherwise.
TLayout DefaultLayout(const Tgraph& g, const std::vector<bool>& placed);

// Places the vertices:
// - neato: Graphviz's spring layout (gvc), started from a circle, so the same graph always gets
//   the same drawing; scaled down into the area where it is larger, one point a pixel at most;
// - circle: evenly on the largest circle of the area, vertex 1 at the top, clockwise;
// - grid: row by row on the smallest square grid that holds them, spread over the area;
// - keep: the positions stay; vertices without one (placed[v] false) are placed by neato around
//   the others, which stay where they are.
// Returns false with the reason when Graphviz cannot lay the graph out (the graph is unchanged).
bool LayOut(Tgraph& g, TLayout layout, const std::vector<bool>& placed, std::string& error);
