// Timings of the import: the complete 100-vertex digraph read back from Nodeloom's own GraphML
// and DOT, and the neato layout of a 100-vertex, 200-edge graph (see README.md).

#include "BenchGraphs.h"
#include "FormatWriters.h"
#include "Graph_obj.h"
#include "ImportGraph.h"
#include "Layout.h"
#include "TextExport.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

void Import(benchmark::State& state, TImportFormat format) {
    const std::unique_ptr<Tgraph> g = CompleteWeightedDigraph();
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
