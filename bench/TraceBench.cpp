// Timings of the traces on the complete 100-vertex weighted digraph: Dijkstra's trace to JSON
// text, Floyd-Warshall's 101 matrices to JSON text, and Dijkstra's 101 frames as one PDF, with
// the process's peak memory (see README.md).

#include "BenchGraphs.h"
#include "FrameExport.h"
#include "Graph_obj.h"
#include "Marks.h"
#include "Trace.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include <sys/resource.h>

namespace {

void PeakMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void TraceJson(benchmark::State& state, const char* algorithm) {
    const std::unique_ptr<Tgraph> g = CompleteWeightedDigraph();
    for (auto _ : state) {
        const analysis::TJson trace = analysis::Trace(*g, analysis::ParseTrace(*g, algorithm));
        benchmark::DoNotOptimize(analysis::TraceJsonText(trace));
    }
}

void TraceDijkstraComplete(benchmark::State& s) { TraceJson(s, "dijkstra:#1"); }
void TraceFloydComplete(benchmark::State& s) { TraceJson(s, "floyd-warshall"); }

// The trace and its frames, one page each, as --trace dijkstra:#1 --export OUT.pdf makes them.
void TracePdfComplete(benchmark::State& state) {
    const std::unique_ptr<Tgraph> g = CompleteWeightedDigraph();
    for (auto _ : state) {
        const analysis::TJson trace = analysis::Trace(*g, analysis::ParseTrace(*g, "dijkstra:#1"));
        const std::vector<std::string> pdf =
            FrameBytes(*g, TExportFormat::Pdf, std::nullopt, analysis::TraceFrames(trace),
                       [&](int k, TMarks& marks) { analysis::AddTraceMarks(*g, trace, k, marks); });
        state.counters["bytes"] = static_cast<double>(pdf.front().size());
    }
    PeakMemory(state);
}

} // namespace

BENCHMARK(TraceDijkstraComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(TraceFloydComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(TracePdfComplete)->Unit(benchmark::kMillisecond);
