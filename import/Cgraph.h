#pragma once
// Graphviz's C objects with owners, shared by the DOT reader and the neato layout.
//
// cgraph keeps its error level and error function in globals. The program starts no threads: the
// reader and the layout run on the thread that asks, one at a time, so these are set and restored
// around each call without a lock. A program that reads or lays out graphs on several threads
// must hold one lock around every use of these.

#include <graphviz/cgraph.h>

#include <memory>

struct TAgraphCloser {
    void operator()(Agraph_t* g) const {
        if (g) agclose(g);
    }
};
// A root graph, closed when its owner goes.
using TAgraphOwner = std::unique_ptr<Agraph_t, TAgraphCloser>;

// cgraph's error level and error function for a scope, the ones before restored on leaving it.
class TGraphvizErrors {
public:
    TGraphvizErrors(agerrlevel_t level, agusererrf report)
        : level_(agseterr(level)), report_(report ? agseterrf(report) : nullptr), replaced_(report != nullptr) {}
    ~TGraphvizErrors() {
        agseterr(level_);
        if (replaced_) agseterrf(report_);
    }
    TGraphvizErrors(const TGraphvizErrors&) = delete;
    TGraphvizErrors& operator=(const TGraphvizErrors&) = delete;

private:
    agerrlevel_t level_;
    agusererrf report_;
    bool replaced_;
};
