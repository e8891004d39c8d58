// Exercise graphs and answers, without Qt: every constraint of a description holds on many seeds
// (checked here by code of the test's own: brute force over spanning trees and paths, plane
// geometry for crossings), the same seed gives the same bytes, impossible descriptions are
// refused with their reason, and right and wrong answers of every kind of question get their
// verdict.

#include "Check.h"
#include "Generate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <set>

namespace {

using analysis::TJson;

struct TArc {
    int s, t;
    long long w;
};

// The graph as the test reads it from the record: 0-based arcs (an undirected edge once).
std::vector<TArc> Arcs(const Tgraph& g) {
    std::vector<TArc> arcs;
    for (int s = 1; s <= g.vertexCount; ++s)
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
            if (g.directed || e->target > s)
                arcs.push_back({s - 1, e->target - 1, g.weighted ? std::stoll(e->weight) : 1});
    return arcs;
}

int Pieces(int n, const std::vector<TArc>& arcs, std::vector<int>* pieceOf = nullptr) {
    std::vector<int> parent(static_cast<std::size_t>(n));
    std::iota(parent.begin(), parent.end(), 0);
    std::function<int(int)> root = [&](int v) { return parent[v] == v ? v : root(parent[v]); };
    int pieces = n;
    for (const TArc& a : arcs)
        if (root(a.s) != root(a.t)) parent[root(a.s)] = root(a.t), --pieces;
    if (pieceOf)
        for (int v = 0; v < n; ++v) pieceOf->push_back(root(v));
    return pieces;
}

bool TwoColourable(int n, const std::vector<TArc>& arcs) {
    std::vector<int> side(static_cast<std::size_t>(n), -1);
    for (int start = 0; start < n; ++start) {
        if (side[start] >= 0) continue;
        side[start] = 0;
        std::vector<int> todo{start};
        while (!todo.empty()) {
            const int v = todo.back();
            todo.pop_back();
            for (const TArc& a : arcs)
                for (const auto& [x, y] : {std::pair{a.s, a.t}, std::pair{a.t, a.s}})
                    if (x == v) {
                        if (side[y] < 0) side[y] = 1 - side[v], todo.push_back(y);
                        if (side[y] == side[v]) return false;
                    }
        }
    }
    return true;
}

// Kahn: every vertex leaves when its in-arcs are gone.
bool NoDirectedCycle(int n, const std::vector<TArc>& arcs) {
    std::vector<int> in(static_cast<std::size_t>(n));
    for (const TArc& a : arcs) ++in[a.t];
    std::vector<int> ready;
    for (int v = 0; v < n; ++v)
        if (in[v] == 0) ready.push_back(v);
    int left = n;
    while (!ready.empty()) {
        const int v = ready.back();
        ready.pop_back();
        --left;
        for (const TArc& a : arcs)
            if (a.s == v && --in[a.t] == 0) ready.push_back(a.t);
    }
    return left == 0;
}

// The weights of all spanning trees (forests of n - pieces edges), by trying every subset.
std::vector<long long> SpanningWeights(int n, const std::vector<TArc>& arcs) {
    const int want = n - Pieces(n, arcs), m = static_cast<int>(arcs.size());
    std::vector<long long> weights;
    for (unsigned mask = 0; mask < (1u << m); ++mask) {
        if (__builtin_popcount(mask) != want) continue;
        std::vector<TArc> chosen;
        long long total = 0;
        for (int i = 0; i < m; ++i)
            if (mask & (1u << i)) chosen.push_back(arcs[i]), total += arcs[i].w;
        if (Pieces(n, chosen) == n - want) weights.push_back(total);
    }
    return weights;
}

// How many simple paths from vertex 0 reach each vertex with the least length.
std::vector<int> ShortestPathCounts(int n, bool directed, const std::vector<TArc>& arcs) {
    std::vector<long long> best(static_cast<std::size_t>(n), -1);
    std::vector<int> count(static_cast<std::size_t>(n), 0);
    std::vector<char> on(static_cast<std::size_t>(n), 0);
    std::function<void(int, long long)> walk = [&](int v, long long length) {
        if (best[v] < 0 || length < best[v]) best[v] = length, count[v] = 0;
        if (length == best[v]) ++count[v];
        on[v] = 1;
        for (const TArc& a : arcs)
            for (const auto& [x, y] : {std::pair{a.s, a.t}, std::pair{a.t, a.s}}) {
                if (x != v || on[y] || (directed && x != a.s)) continue;
                walk(y, length + a.w);
            }
        on[v] = 0;
    };
    walk(0, 0);
    return count;
}

bool SegmentsCross(const Tvertex& a, const Tvertex& b, const Tvertex& c, const Tvertex& d) {
    const auto side = [](const Tvertex& p, const Tvertex& q, const Tvertex& r) {
        const long long cross =
            static_cast<long long>(q.x - p.x) * (r.y - p.y) - static_cast<long long>(q.y - p.y) * (r.x - p.x);
        return (cross > 0) - (cross < 0);
    };
    return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
}

struct TSpecCase {
    const char* asked;
    int minN, maxN, minM, maxM;
};

TEST(Generate, EveryConstraintHoldsOnManySeeds) {
    const TSpecCase cases[] = {
        {"vertices=8,edges=12,weights=1..20,connected,planar,unique-mst,unique-paths", 8, 8, 12, 12},
        {"vertices=5..9,edges=6..14,connected", 5, 9, 6, 14},
        {"vertices=7,edges=9..12,bipartite,connected,weights=1..5", 7, 7, 9, 12},
        {"vertices=8,directed,acyclic,connected,weights=1..9", 8, 8, 0, 99},
        {"vertices=6..8,euler,connected", 6, 8, 0, 99},
        {"vertices=8,edges=10,euler,directed", 8, 8, 10, 10},
        {"vertices=8,edges=8..10,euler,bipartite,planar", 8, 8, 8, 10},
        {"vertices=7,acyclic,connected", 7, 7, 6, 6},
        {"vertices=9,edges=21,planar", 9, 9, 21, 21},
        {"vertices=7,edges=11,weights=1..3,unique-mst,connected", 7, 7, 11, 11},
        {"vertices=8,edges=12,unique-paths,directed,connected", 8, 8, 12, 12},
        {"vertices=30,edges=60,planar,connected", 30, 30, 60, 60},
    };
    for (const TSpecCase& c : cases) {
        const analysis::TGenerateSpec asked = analysis::ParseGenerateSpec(c.asked);
        for (std::uint64_t seed = 0; seed < 25; ++seed) {
            SCOPED_TRACE(std::string(c.asked) + " seed " + std::to_string(seed));
            auto g = std::make_unique<Tgraph>();
            analysis::Generate(asked, seed, *g);
            const int n = g->vertexCount;
            const std::vector<TArc> arcs = Arcs(*g);
            const int m = static_cast<int>(arcs.size());
            ASSERT_TRUE(g->created);
            EXPECT_EQ(g->edgeCount, m);
            EXPECT_TRUE(n >= c.minN && n <= c.maxN && m >= c.minM && m <= c.maxM) << n << " " << m;
            EXPECT_EQ(g->directed, asked.directed);
            std::set<std::pair<int, int>> pairs;
            for (const TArc& a : arcs) {
                EXPECT_NE(a.s, a.t);
                EXPECT_TRUE(pairs.insert(std::minmax(a.s, a.t)).second) << "two edges between one pair";
                if (asked.weighted) {
                    EXPECT_TRUE(a.w >= asked.minWeight && a.w <= asked.maxWeight);
                }
            }
            EXPECT_EQ(g->vertices[1].name, "A");
            EXPECT_EQ(g->vertices[n].name,
                      std::string(1, static_cast<char>('A' + (n - 1) % 26)).insert(0, n > 26 ? "A" : ""));
            for (int u = 1; u <= n; ++u)
                for (int v = u + 1; v <= n; ++v) {
                    const long long dx = g->vertices[u].x - g->vertices[v].x, dy = g->vertices[u].y - g->vertices[v].y;
                    EXPECT_GT(dx * dx + dy * dy, 30 * 30) << "circles of " << u << " and " << v << " overlap";
                }
            if (asked.connected) {
                EXPECT_EQ(Pieces(n, arcs), 1);
            }
            if (asked.bipartite) {
                EXPECT_TRUE(TwoColourable(n, arcs));
            }
            if (asked.acyclic) {
                EXPECT_TRUE(asked.directed ? NoDirectedCycle(n, arcs) : Pieces(n, arcs) == n - m);
            }
            if (asked.planar) {
                for (std::size_t i = 0; i < arcs.size(); ++i)
                    for (std::size_t j = i + 1; j < arcs.size(); ++j)
                        EXPECT_FALSE(SegmentsCross(g->vertices[arcs[i].s + 1], g->vertices[arcs[i].t + 1],
                                                   g->vertices[arcs[j].s + 1], g->vertices[arcs[j].t + 1]));
            }
            if (asked.euler) {
                std::vector<int> balance(static_cast<std::size_t>(n)), pieceOf;
                for (const TArc& a : arcs)
                    asked.directed ? (++balance[a.s], --balance[a.t]) : (++balance[a.s], ++balance[a.t]);
                for (int b : balance) EXPECT_EQ(asked.directed ? b : b % 2, 0);
                Pieces(n, arcs, &pieceOf);
                for (const TArc& a : arcs) EXPECT_EQ(pieceOf[a.s], pieceOf[arcs[0].s]) << "edges in two pieces";
            }
            if (asked.uniqueMst) {
                std::vector<long long> weights = SpanningWeights(n, arcs);
                std::sort(weights.begin(), weights.end());
                ASSERT_FALSE(weights.empty());
                EXPECT_TRUE(weights.size() == 1 || weights[1] > weights[0]) << "two minimum spanning trees";
            }
            if (asked.uniquePaths) {
                for (int count : ShortestPathCounts(n, asked.directed, arcs)) EXPECT_LE(count, 1);
            }
        }
    }
}

TEST(Generate, SameSeedSameBytesAndSeedsDiffer) {
    const analysis::TGenerateSpec asked = analysis::ParseGenerateSpec("vertices=6..10,weights=-5..50,connected");
    std::set<std::string> seen;
    for (std::uint64_t seed : {0ull, 1ull, 2ull, 99ull, 18446744073709551615ull}) {
        auto a = std::make_unique<Tgraph>(), b = std::make_unique<Tgraph>();
        analysis::Generate(asked, seed, *a);
        analysis::Generate(asked, seed, *b);
        EXPECT_EQ(GraphFileText(*a), GraphFileText(*b));
        seen.insert(GraphFileText(*a));
    }
    EXPECT_EQ(seen.size(), 5u);
}

TEST(Generate, RandomDrawsStayInRangeAndReachEveryValue) {
    analysis::TRandom random(7);
    for (const auto& [lo, hi] : {std::pair{0LL, 0LL}, std::pair{-3LL, 3LL}, std::pair{1LL, 6LL}}) {
        std::set<long long> values;
        for (int i = 0; i < 2000; ++i) {
            const long long x = random.Between(lo, hi);
            ASSERT_TRUE(x >= lo && x <= hi);
            values.insert(x);
        }
        EXPECT_EQ(values.size(), static_cast<std::size_t>(hi - lo + 1));
    }
    EXPECT_EQ(analysis::GeneratedName(0), "A");
    EXPECT_EQ(analysis::GeneratedName(25), "Z");
    EXPECT_EQ(analysis::GeneratedName(26), "AA");
    EXPECT_EQ(analysis::GeneratedName(27 + 25), "BA");
}

TEST(Generate, ImpossibleDescriptionsAreRefusedWithTheReason) {
    const struct {
        const char* asked;
        const char* reason;
    } cases[] = {
        {"vertices=5,edges=20", "5 vertices has at most 10 edges"},
        {"vertices=8,edges=19,planar", "planar graph of 8 vertices has at most 18 edges"},
        {"vertices=6,edges=10,bipartite,planar", "at most 8 edges"},
        {"vertices=8,edges=3,connected", "at least 7 edges"},
        {"vertices=6,acyclic,edges=6", "at most 5 edges"},
        {"euler,acyclic,directed", "Euler circuit is a cycle"},
        {"unique-mst,directed,weights=1..5", "undirected graph"},
        {"unique-mst", "needs weights"},
        {"unique-paths,weights=0..5", "at least 1"},
        {"vertices=0", "1 to 100 vertices"},
        {"vertices=9..3", "runs backwards"},
        {"edges=x", "not edges=N"},
        {"colourful", "unknown word"},
        {"vertices=4,edges=5,euler,bipartite", "at most 4 edges"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        try {
            analysis::ParseGenerateSpec(c.asked);
            ADD_FAILURE() << "accepted";
        } catch (const analysis::TAnalysisError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
}

TEST(Generate, UnmeetableDescriptionEndsAfterBoundedTries) {
    // One weight for the 21 edges of K7: every spanning tree is a minimum one.
    const analysis::TGenerateSpec asked = analysis::ParseGenerateSpec("vertices=7,edges=21,weights=1..1,unique-mst");
    auto g = std::make_unique<Tgraph>();
    try {
        analysis::Generate(asked, 1, *g);
        ADD_FAILURE() << "generated";
    } catch (const analysis::TAnalysisError& e) {
        EXPECT_NE(std::string(e.what()).find("tries"), std::string::npos) << e.what();
    }
}

// The house: a square A B C D with a roof E, weights as capacities; and a small DAG.
const char* const House = "[undirected]\n[weighted]\n[black]\n5 6\n"
                          "100 100 /*A*/\n200 100 /*B*/\n200 200 /*C*/\n100 200 /*D*/\n150 30 /*E*/\n"
                          "1 2 /*4*/\n2 3 /*3*/\n3 4 /*5*/\n1 4 /*2*/\n1 5 /*1*/\n2 5 /*6*/\n";
const char* const Dag = "[directed]\n[unweighted]\n[black]\n4 4\n"
                        "0 0 /*A*/\n50 0 /*B*/\n100 0 /*C*/\n150 0 /*D*/\n1 2\n1 3\n2 4\n3 4\n";

TEST(Check, RightAndWrongAnswersOfEveryKind) {
    const struct {
        const char* graph;
        const char* question;
        const char* answer;
        bool correct;
        const char* failed; // the first check that fails, and a piece of its message
        const char* message;
    } cases[] = {
        {House, "shortest-path:A,C", "A B C", true, "", ""},
        {House, "shortest-path:A,C", "A D C", true, "", ""},
        {House, "shortest-path:E,C", "E A B C", true, "", ""},
        {House, "shortest-path:E,C", "E-B-C", false, "shortest", "length 9; the least is 8"},
        {House, "shortest-path:A,C", "A -> C", false, "edges of the graph", "A–C is not an edge of the graph"},
        {House, "path:D,E", "D, A, E", true, "", ""},
        {House, "path:D,E", "D A B A E", false, "simple", "A comes twice"},
        {House, "path:D,E", "A E", false, "starts", "starts at A, not at D"},
        {House, "mst", "A E\nA-D\nB C\nA B\n", true, "", ""},
        {House, "mst", "A E\nA-D\nB C\nC D\n", false, "least weight", "weight 11; the least is 10"},
        {House, "mst", "A E\nA-D\nB E\nA B\n", false, "no cycle", "A–B closes a cycle"},
        {House, "mst", "A E\nA-D\nB-D\n", false, "edges of the graph", "B–D is not an edge of the graph"},
        {House, "spanning-tree", "A E\nA-D\nB C\nC D\n", true, "", ""},
        {House, "spanning-tree", "A E\nA-D\nB C\n", false, "spans", "does not connect A and B"},
        {House, "spanning-tree", "A E\nA-X\n", false, "edges of the graph", "\"X\" is not a vertex"},
        {House, "bfs:A", "A B D E C", true, "", ""},
        {House, "bfs:A", "A E D B C", true, "", ""},
        {House, "bfs:A", "A B C D E", false, "search order", "C cannot come 3rd"},
        {House, "bfs:A", "A B D E", false, "search order", "the order stops"},
        {House, "dfs:A", "A B C D E", true, "", ""},
        {House, "dfs:A", "A E B C D", true, "", ""},
        {House, "dfs:A", "A B C E D", false, "search order", "E cannot come 4th"},
        {House, "dfs:A", "A B B C D E", false, "each vertex once", "B comes twice"},
        {House, "colouring", "A red\nB blue\nC red\nD blue\nE green\n", true, "", ""},
        {House, "colouring", "A 1\nB 2\nC 3\nD 4\nE 3\n", false, "fewest colours", "4 colours; the fewest is 3"},
        {House, "colouring", "A 1\nB 1\nC 2\nD 2\nE 3\n", false, "proper", "A and B are adjacent and both 1"},
        {House, "colouring", "A 1\nB 2\nC 1\nD 2\n", false, "every vertex once", "E has no colour"},
        {House, "colouring:3", "A 1\nB 2\nC 3\nD 2\nE 3\n", true, "", ""},
        {House, "colouring:2", "A 1\nB 2\nC 3\nD 2\nE 3\n", false, "at most K colours", "3 colours; at most 2"},
        {House, "euler", "B A E B C D A", true, "", ""},
        {House, "euler", "A B C D A E", false, "every edge", "B–E is not used"},
        {House, "euler", "A E B A D C B", true, "", ""},
        {House, "euler", "A B C D A E B", true, "", ""},
        {House, "euler", "A B C D A E B A", false, "each edge once", "B–A is used twice"},
        {House, "euler", "none", false, "vertices", "the graph has an Euler trail"},
        {Dag, "topological", "A C B D", true, "", ""},
        {Dag, "topological", "A D B C", false, "arcs forward", "D comes before B, but B→D is an edge"},
        {Dag, "topological", "A B C", false, "every vertex once", "D is missing"},
        {Dag, "euler", "none", true, "", ""},
        {House, "matching", "A-E\n", false, "maximum", "1 edges; a maximum matching has 2"},
        {House, "matching", "A-E\nB C\nC D\n", false, "no shared vertex", "C is in two edges: B–C and C–D"},
        {House, "matching", "A-E\nB-C\n", true, "", ""},
        {House, "max-flow:A,C", "5", true, "", ""},
        {House, "max-flow:A,C", " 6\n", false, "value", "6; the maximum flow is 5"},
        {Dag, "bfs:#1", "#1 #2 #3 #4", true, "", ""},
        {Dag, "dfs:A", "A C D B", true, "", ""},
        {Dag, "dfs:A", "A B C D", false, "search order", "C cannot come 3rd: the search is at B, and goes on to D"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.question) + " <- " + c.answer);
        auto g = std::make_unique<Tgraph>();
        LoadGraphFromText(*g, c.graph, "g.gf4");
        const analysis::TQuestion q = analysis::ParseQuestion(*g, c.question);
        const TJson verdict = analysis::CheckAnswer(*g, q, {c.answer, false, {}});
        EXPECT_EQ(verdict["correct"].get<bool>(), c.correct) << verdict.dump(1);
        EXPECT_EQ(verdict["points"].get<int>() == verdict["of"].get<int>(), c.correct);
        std::string failed, message;
        for (const TJson& check : verdict["checks"])
            if (!check["passed"].get<bool>() && failed.empty())
                failed = check["check"].get<std::string>(), message = check["message"].get<std::string>();
        EXPECT_EQ(failed, c.failed) << verdict.dump(1);
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

TEST(Check, AnswersAndQuestionsThatCannotBeRead) {
    auto g = std::make_unique<Tgraph>();
    LoadGraphFromText(*g, House, "g.gf4");
    const struct {
        const char* question;
        const char* answer; // nullptr: the question itself is refused
        const char* message;
    } cases[] = {
        {"mst", "A B C\n", "line 1: \"A B C\" is not one edge"},
        {"colouring", "A\n", "is not NAME COLOUR"},
        {"max-flow:A,C", "seven", "is not a number"},
        {"max-flow:A,A", nullptr, "the source is the sink"},
        {"topological", nullptr, "undirected graph"},
        {"bfs", nullptr, "is written bfs:S"},
        {"colouring:0", nullptr, "colouring:K"},
        {"shortest-path:A,Q", nullptr, "No vertex is named \"Q\""},
        {"hamilton", nullptr, "Unknown question"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question);
        try {
            const analysis::TQuestion q = analysis::ParseQuestion(*g, c.question);
            ASSERT_NE(c.answer, nullptr) << "question accepted";
            analysis::CheckAnswer(*g, q, {c.answer, false, {}});
            ADD_FAILURE() << "answer read";
        } catch (const analysis::TAnalysisError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    // A matching given as a graph file's edges, by the names of their ends.
    const TJson verdict =
        analysis::CheckAnswer(*g, analysis::ParseQuestion(*g, "matching"), {"", true, {{"E", "A"}, {"C", "B"}}});
    EXPECT_TRUE(verdict["correct"].get<bool>()) << verdict.dump(1);
}

} // namespace
