// DOT and GraphML carry the whole gf4 file: random graphs of every kind, with names and weights
// of any bytes, come back from either export as the same file.

#include "FormatWriters.h"
#include "GraphBuilders.h"
#include "ImportGraph.h"
#include "TextExport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Any bytes but the line ends a gf4 name cannot hold; now and then a text past Graphviz's
// quoted-string limit.
std::string RandomText(std::mt19937& rng) {
    static const std::string pieces[] = {
        "a",  "Z",  "7",  " ",    "\"",   "\\",   "\\N",  "<",        "&amp;",        "%",
        "%4", "*/", "\t", "\x01", "\x7F", "\x81", "\xE9", "\xC3\xA9", "\xEF\xBF\xBF", "\xF0\x9F\x98\x80",
        "\r", ",",  "->", "#"};
    std::string text;
    const int length = static_cast<int>(rng() % 12);
    for (int i = 0; i < length; ++i) text += pieces[rng() % std::size(pieces)];
    if (rng() % 40 == 0) text += std::string(17000 + rng() % 5000, "xy\"\\"[rng() % 4]);
    return text;
}

void RandomGraph(Tgraph& g, std::mt19937& rng, bool directed, bool weighted) {
    MakeGraph(g, directed, weighted, {}, ColorTable[rng() % 16].value);
    const int n = static_cast<int>(rng() % 12);
    for (int v = 1; v <= n; ++v) {
        AddVertex(g, static_cast<std::int32_t>(rng()), static_cast<std::int32_t>(rng()));
        g.vertices[v].name = RandomText(rng);
    }
    for (int k = n == 0 ? 0 : static_cast<int>(rng() % (3 * n)); k > 0; --k) {
        const int s = 1 + static_cast<int>(rng() % n), t = 1 + static_cast<int>(rng() % n);
        if (!Connect(g, s, t)) continue;
        for (Tedge* e : {FindEdge(g, s, t), FindEdge(g, t, s)}) {
            if (!e) continue;
            e->color = ColorTable[rng() % 16].value;
            if (weighted) e->weight = RandomText(rng);
        }
        // Both halves of an undirected edge alike, as the file reader makes them.
        if (!directed)
            FindEdge(g, t, s)->color = FindEdge(g, s, t)->color, FindEdge(g, t, s)->weight = FindEdge(g, s, t)->weight;
    }
    if (rng() % 4 == 0) g.edgeCount = static_cast<std::int32_t>(rng() % (MaxEdges + 1)); // a counts line that disagrees
}

TEST(ImportRoundTrip, DotAndGraphMLGiveBackTheSameGf4Bytes) {
    std::mt19937 rng(2026);
    int checked = 0;
    for (int round = 0; round < 400; ++round) {
        Tgraph g;
        RandomGraph(g, rng, round % 2 == 0, round / 2 % 2 == 0);
        const std::string file = GraphFileText(g);
        const struct {
            const char* name;
            std::string text;
            TImportFormat format;
        } exports[] = {{"DOT", DotText(g), TImportFormat::Dot}, {"GraphML", GraphMLText(g), TImportFormat::GraphML}};
        for (const auto& e : exports) {
            Tgraph back;
            TImportResult result;
            ASSERT_TRUE(ImportGraphText(e.text, e.format, back, result)) << e.name << ": " << result.error << "\n"
                                                                         << e.text;
            ASSERT_EQ(GraphFileText(back), file) << e.name << " of round " << round << ":\n" << e.text;
            EXPECT_TRUE(back.created);
            EXPECT_EQ(back.fileName, "");
            EXPECT_TRUE(result.notes.empty());
            ++checked;
        }
    }
    EXPECT_EQ(checked, 800);
}

} // namespace
