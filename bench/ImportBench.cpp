// Timings of the import: the complete 100-vertex digraph read back from Nodeloom's own GraphML
// and DOT, and the neato layout of a 100-vertex, 200-edge graph (see README.md).

#include "FormatWriters.h"
#include "Graph_obj.h"
#include "ImportGraph.h"
#include "Layout.h"
#include "TextExport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

namespace {

// The complete digraph: all 9900 arcs, weights on every one, vertices on a circle.
std::unique_ptr<Tgraph> CompleteDigraph() {
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->directed = g->weighted = g->created = true;
    g->baseColor = colors::Black;
    for (int v = 0; v < MaxVertices; ++v) {
        const double angle = 2 * 3.14159265358979 * v / MaxVertices;
        AddVertex(*g, 640 + static_cast<int>(460 * std::cos(angle)), 512 + static_cast<int>(460 * std::sin(angle)));
    }
    for (int s = 1; s <= MaxVertices; ++s)
        for (int t = 1; t <= MaxVertices; ++t)
            if (s != t) ConnectVertices(*g, s, t, "/*" + std::to_string((s * t) % 1000) + "*/");
    return g;
}

void Import(benchmark::State& state, TImportFormat format) {
    const std::unique_ptr<Tgraph> g = CompleteDigraph();
    const std::string text = format == TImportFormat::Dot ? DotText(*g) : GraphMLText(*g);
    auto back = std::make_unique<Tgraph>();
    for (auto _ : state) {
        TImportResult result;
        if (!ImportGraphText(text, format, *back, result)) state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(back->edgeCount);
    }
}

void ImportGraphMLComplete(benchmark::State& s) { Import(s, TImportFormat::GraphML); }
void ImportDotComplete(benchmark::State& s) { Import(s, TImportFormat::Dot); }

void LayoutNeato100(benchmark::State& state) {
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->created = true;
    for (int v = 1; v <= MaxVertices; ++v) AddVertex(*g, 0, 0);
    std::mt19937 rng(100);
    for (int m = 0; m < 200;)
        m += ConnectVertices(*g, 1 + static_cast<int>(rng() % MaxVertices), 1 + static_cast<int>(rng() % MaxVertices),
                             "")
                 ? 1
                 : 0;
    for (auto _ : state) {
        std::string error;
        if (!LayOut(*g, TLayout::Neato, {}, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(g->vertices[1].x);
    }
}

} // namespace

BENCHMARK(ImportGraphMLComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportDotComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(LayoutNeato100)->Unit(benchmark::kMillisecond);
