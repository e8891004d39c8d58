#pragma once
// The graph as the algorithms see it: vertices 0..n-1, each edge once, with its length.

#include "Analysis.h"

#include <string>
#include <vector>

namespace analysis {

struct TPlainEdge {
    int s, t;      // 0-based ends; an undirected edge from its lower end
    double length; // the numeric weight when the graph is measured by weights, else 1
    double value;  // the weight as a number, NaN when it is none
};

struct TPlain {
    int n = 0;
    bool directed = false;
    bool byWeights = false; // weighted, and every weight reads as a number
    std::vector<TPlainEdge> edges;
    // The simple undirected graph underneath: no loops, no directions, each pair once (u < v).
    std::vector<std::pair<int, int>> simple;
};

TPlain PlainOf(const Tgraph& g);
// A weight that reads as a decimal number (sign, digits, a point, an exponent), finite.
bool ReadNumber(const std::string& text, double& value);
// A number as JSON: whole numbers as integers.
TJson Num(double v);

// Written here because Boost.Graph has no such algorithm:
// An Euler circuit or trail, as its vertices (0-based); "none" when there is none or no edge.
struct TEuler {
    std::string kind;
    std::vector<int> trail;
};
TEuler EulerOf(const TPlain& p);
// A proper colouring of the simple graph underneath (colours 0..k-1), by an exact search bounded
// by a step count; exact says the search proved k minimal within the bound.
struct TColouring {
    std::vector<int> colourOf;
    int colours = 0;
    bool exact = false;
};
TColouring ColouringOf(const TPlain& p);
// The length of a shortest cycle in edges, 0 for none (a loop is 1; a paired directed edge 2).
int GirthOf(const TPlain& p);

} // namespace analysis

namespace analysis {

// The vertex's name as UTF-8 (1-based number).
std::string NameOf(const Tgraph& g, int v);
// How the report's text form names each vertex of the report (index 0 is vertex 1): its name
// when that is not empty and no other vertex has it, else "#N"; control characters as spaces.
std::vector<std::string> ShownNames(const TJson& report, const Tgraph& g);
// Report items the named results share.
TJson SpanningTree(const TPlain& p);
TJson Colouring(const TPlain& p);
TJson Matching(const TPlain& p);
TJson ComponentsOf(const TPlain& p);
TJson StrongComponentsOf(const TPlain& p);
TJson EulerItem(const TPlain& p);

} // namespace analysis
