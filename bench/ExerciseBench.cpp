// Timings of the exercises (see README.md): a typical generated graph, the check of a minimum
// spanning tree on the complete 100-vertex graph, and an exam of 30 variants without LaTeX.

#include "Check.h"
#include "Exam.h"
#include "Generate.h"
#include "Plain.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

void GenerateTypical(benchmark::State& state) {
    const analysis::TGenerateSpec asked =
        analysis::ParseGenerateSpec("vertices=8,edges=12,weights=1..20,connected,planar,unique-mst,unique-paths");
    auto g = std::make_unique<Tgraph>();
    std::uint64_t seed = 0;
    for (auto _ : state) {
        analysis::Generate(asked, seed++, *g);
        benchmark::DoNotOptimize(g->edgeCount);
    }
}
BENCHMARK(GenerateTypical)->Unit(benchmark::kMillisecond);

void CheckMstComplete(benchmark::State& state) {
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->weighted = g->created = true;
    g->baseColor = colors::Black;
    for (int v = 1; v <= MaxVertices; ++v) {
        AddVertex(*g, 30 * (v % 10), 30 * (v / 10));
        RenameVertex(*g, v, analysis::GeneratedName(v - 1));
    }
    for (int s = 1; s <= MaxVertices; ++s)
        for (int t = s + 1; t <= MaxVertices; ++t)
            ConnectVertices(*g, s, t, "/*" + std::to_string((s * 31 + t * 17) % 997) + "*/");
    const analysis::TJson tree = analysis::SpanningTree(analysis::PlainOf(*g));
    analysis::TAnswer answer;
    for (const analysis::TJson& e : tree["edges"])
        answer.text += g->vertices[e[0].get<int>()].name + " " + g->vertices[e[1].get<int>()].name + "\n";
    const analysis::TQuestion question = analysis::ParseQuestion(*g, "mst");
    for (auto _ : state) {
        const analysis::TJson verdict = analysis::CheckAnswer(*g, question, answer);
        if (!verdict["correct"].get<bool>()) state.SkipWithError("the tree is not found minimal");
    }
}
BENCHMARK(CheckMstComplete)->Unit(benchmark::kMillisecond);

void ExamThirtyVariants(benchmark::State& state) {
    const analysis::TExam exam = analysis::ParseExam(
        R"({"title": "Week 5", "graph": "vertices=7..8,edges=10..12,weights=1..9,connected,unique-mst",
            "tasks": ["dijkstra:#1", "kruskal", "bfs:A", "dfs:A", "colouring", "matching", "flow:A,B", "euler"]})");
    for (auto _ : state) benchmark::DoNotOptimize(analysis::ExamTex(exam, 30, 1000).solutions.size());
}
BENCHMARK(ExamThirtyVariants)->Unit(benchmark::kMillisecond);

} // namespace
