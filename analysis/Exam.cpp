#include "Exam.h"

#include "Generate.h"
#include "Plain.h"
#include "TextExport.h"
#include "Trace.h"

#include <algorithm>
#include <charconv>
#include <memory>

namespace analysis {

namespace {

std::size_t Z(int v) { return static_cast<std::size_t>(v); }

// A task of the sheet: its word, the vertices it names, the trace whose table the answer key
// shows (none: the answer alone), and its text with {S}, {T} for the vertices.
struct TTaskTemplate {
    const char* word;
    int vertices;
    const char* trace;
    const char* text;
};

// The words of the sheets in one language; another language is one more table like this one.
struct TExamLanguage {
    const char* variant;   // "Variant"
    const char* seed;      // "seed"
    const char* solutions; // "Solutions"
    const char* vertices;  // "Vertices"
    const char* edges;     // "Edges"
    const char* weights;   // "the numbers are the edges' weights"
    const char* none;      // "none"
    const TTaskTemplate* tasks;
    std::size_t taskCount;
};

constexpr TTaskTemplate EnglishTasks[] = {
    {"dijkstra", 1, "dijkstra",
     "Run Dijkstra's algorithm from {S}. Give the tentative distances after each vertex is settled, and the "
     "distance of every vertex from {S}."},
    {"bellman-ford", 1, "bellman-ford",
     "Run the Bellman--Ford algorithm from {S}, relaxing the edges in alphabetical order. Give the distances "
     "after each pass, and say whether there is a negative cycle."},
    {"bfs", 1, "bfs",
     "List the vertices in the order a breadth-first search from {S} visits them, taking neighbours in "
     "alphabetical order."},
    {"dfs", 1, "dfs",
     "List the vertices in the order a depth-first search from {S} discovers them, taking neighbours in "
     "alphabetical order."},
    {"prim", 1, "prim",
     "Build a minimum spanning tree with Prim's algorithm from {S}. List the edges in the order they are "
     "added and give the tree's weight."},
    {"kruskal", 0, "kruskal",
     "Build a minimum spanning tree with Kruskal's algorithm. List the edges in the order they are "
     "considered, say which are taken, and give the tree's weight."},
    {"mst", 0, nullptr, "Give a minimum spanning tree of the graph and its weight."},
    {"floyd-warshall", 0, "floyd-warshall",
     "Run the Floyd--Warshall algorithm. Give the matrix of distances after each intermediate vertex."},
    {"shortest-path", 2, nullptr, "Give a shortest path from {S} to {T} and its length."},
    {"flow", 2, "flow",
     "The weights are capacities. Find a maximum flow from {S} to {T} with the Edmonds--Karp algorithm: "
     "give each augmenting path, its amount, and the value of the flow."},
    {"max-flow", 2, nullptr, "The weights are capacities. What is the value of a maximum flow from {S} to {T}?"},
    {"topological", 0, "topological",
     "Give a topological order of the vertices (Kahn's algorithm, the alphabetically first ready vertex "
     "first), or say why there is none."},
    {"colouring", 0, nullptr,
     "Colour the vertices with as few colours as possible so that no two adjacent vertices share a colour. "
     "How many colours are needed?"},
    {"greedy-colouring", 0, "greedy-colouring",
     "Colour the vertices greedily in alphabetical order, each with the smallest colour (1, 2, ...) that no "
     "coloured neighbour has."},
    {"welsh-powell", 0, "welsh-powell",
     "Colour the vertices with the Welsh--Powell algorithm: in order of decreasing degree, each with the "
     "smallest colour (1, 2, ...) that no coloured neighbour has."},
    {"euler", 0, "euler", "Find an Euler circuit or trail of the graph, or say why there is none."},
    {"matching", 0, nullptr, "Find a maximum matching of the graph."},
};

constexpr TExamLanguage English = {"Variant",  "seed",       "Solutions",
                                   "Vertices", "Edges",      "the numbers are the edges' weights",
                                   "none",     EnglishTasks, std::size(EnglishTasks)};

const TTaskTemplate* FindTemplate(const TExamLanguage& language, const std::string& word) {
    for (std::size_t i = 0; i < language.taskCount; ++i)
        if (word == language.tasks[i].word) return &language.tasks[i];
    return nullptr;
}

std::string NumberText(double v) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    return std::string(digits, end);
}

std::string Tex(const Tgraph& g, int v) { return TexText(g.vertices[v].name); }

std::string Link(const Tgraph& g) { return g.directed ? "$\\to$" : "--"; }

std::string EdgeTex(const Tgraph& g, int a, int b) { return Tex(g, a) + Link(g) + Tex(g, b); }

std::string Sequence(const Tgraph& g, const TJson& numbers, const char* separator = ", ") {
    std::string out;
    for (const TJson& v : numbers) out += (out.empty() ? "" : separator) + Tex(g, v.get<int>());
    return out;
}

std::string EdgeList(const Tgraph& g, const TJson& pairs) {
    std::string out;
    for (const TJson& e : pairs) out += (out.empty() ? "" : ", ") + EdgeTex(g, e[0].get<int>(), e[1].get<int>());
    return out;
}

// The task's text with its vertices named.
std::string TaskText(const Tgraph& g, const TTaskTemplate& t, int a, int b) {
    std::string text = t.text;
    for (const auto& [key, v] : {std::pair{"{S}", a}, std::pair{"{T}", b}})
        for (std::size_t at; v > 0 && (at = text.find(key)) != std::string::npos;) text.replace(at, 3, Tex(g, v));
    return text;
}

// Greedy colouring in the given order: each vertex the smallest colour (from 1) no coloured
// neighbour has.
std::vector<int> Greedy(const TPlain& p, const std::vector<int>& order) {
    std::vector<int> colour(Z(p.n), 0);
    for (int v : order) {
        std::vector<char> used(Z(p.n) + 2, 0);
        for (const auto& [a, b] : p.simple) {
            if (a == v && colour[Z(b)] > 0) used[Z(colour[Z(b)])] = 1;
            if (b == v && colour[Z(a)] > 0) used[Z(colour[Z(a)])] = 1;
        }
        int c = 1;
        while (used[Z(c)]) ++c;
        colour[Z(v)] = c;
    }
    return colour;
}

std::string ColouringTex(const Tgraph& g, const std::vector<int>& colour) {
    std::string out;
    int most = 0;
    for (std::size_t v = 0; v < colour.size(); ++v) {
        out += (out.empty() ? "" : ", ") + Tex(g, static_cast<int>(v) + 1) + ": " + std::to_string(colour[v]);
        most = std::max(most, colour[v]);
    }
    return std::to_string(most) + " colours. " + out + ".";
}

// Distances from vertex a (1-based) to every vertex, by the report's shortest paths.
std::string DistancesTex(const Tgraph& g, int a) {
    std::string out = "\\begin{tabular}{lll}\n\\toprule\nVertex & Distance & Path \\\\\n\\midrule\n";
    for (int v = 1; v <= g.vertexCount; ++v) {
        const TJson r = Result(g, {"path", a, v});
        if (r["negative_cycle"].get<bool>()) return "A cycle of negative length is reachable: no distances.";
        out += Tex(g, v) + " & " +
               (r["length"].is_null() ? std::string("$\\infty$") : NumberText(r["length"].get<double>())) + " & " +
               Sequence(g, r["vertices"], Link(g).c_str()) + " \\\\\n";
    }
    return out + "\\bottomrule\n\\end{tabular}";
}

std::string AnswerTex(const Tgraph& g, const std::string& word, int a, int b, const TExamLanguage& language) {
    const TPlain p = PlainOf(g);
    if (word == "dijkstra" || word == "bellman-ford") return DistancesTex(g, a);
    if (word == "bfs" || word == "dfs") {
        const TJson r = Result(g, {word, a, 0});
        return "Order: " + Sequence(g, r["order"]) + ". Tree edges: " + EdgeList(g, r["tree"]) + ".";
    }
    if (word == "prim" || word == "kruskal" || word == "mst") {
        const TJson r = SpanningTree(p);
        return "Weight " + NumberText(r["total"].get<double>()) + ": " + EdgeList(g, r["edges"]) + ".";
    }
    if (word == "floyd-warshall") {
        std::string out = "\\begin{tabular}{l" + std::string(Z(g.vertexCount), 'r') + "}\n\\toprule\n";
        for (int v = 1; v <= g.vertexCount; ++v) out += " & " + Tex(g, v);
        out += " \\\\\n\\midrule\n";
        for (int u = 1; u <= g.vertexCount; ++u) {
            out += Tex(g, u);
            for (int v = 1; v <= g.vertexCount; ++v) {
                const TJson r = Result(g, {"path", u, v});
                out +=
                    " & " + (r["length"].is_null() ? std::string("$\\infty$") : NumberText(r["length"].get<double>()));
            }
            out += " \\\\\n";
        }
        return out + "\\bottomrule\n\\end{tabular}";
    }
    if (word == "shortest-path") {
        const TJson r = Result(g, {"path", a, b});
        if (r["length"].is_null()) return Tex(g, b) + " cannot be reached from " + Tex(g, a) + ".";
        return Sequence(g, r["vertices"], Link(g).c_str()) + ", length " + NumberText(r["length"].get<double>()) + ".";
    }
    if (word == "flow" || word == "max-flow") {
        const TJson r = Result(g, {"flow", a, b});
        std::string flows;
        for (const TJson& e : r["edges"])
            flows += (flows.empty() ? "" : ", ") + EdgeTex(g, e[0].get<int>(), e[1].get<int>()) + ": " +
                     NumberText(e[2].get<double>());
        return "Value " + NumberText(r["value"].get<double>()) + ". Flow: " + (flows.empty() ? language.none : flows) +
               ". Minimum cut: " + EdgeList(g, r["cut"]) + ".";
    }
    if (word == "topological") {
        // Kahn's algorithm, the smallest ready vertex first.
        std::vector<int> in(Z(p.n));
        for (const TPlainEdge& e : p.edges) ++in[Z(e.t)];
        std::vector<char> done(Z(p.n), 0);
        TJson order = TJson::array();
        for (int k = 0; k < p.n; ++k) {
            int v = 0;
            while (v < p.n && (done[Z(v)] || in[Z(v)] > 0)) ++v;
            if (v == p.n) return "None: the graph has a cycle.";
            done[Z(v)] = 1;
            order.push_back(v + 1);
            for (const TPlainEdge& e : p.edges)
                if (e.s == v) --in[Z(e.t)];
        }
        return Sequence(g, order) + ".";
    }
    if (word == "colouring") {
        const TJson r = Colouring(p);
        std::vector<int> colour;
        for (const TJson& c : r["colour_of"]) colour.push_back(c.get<int>());
        return ColouringTex(g, colour);
    }
    if (word == "greedy-colouring" || word == "welsh-powell") {
        std::vector<int> order(Z(p.n)), degree(Z(p.n), 0);
        for (int v = 0; v < p.n; ++v) order[Z(v)] = v;
        for (const auto& [u, v] : p.simple) ++degree[Z(u)], ++degree[Z(v)];
        if (word == "welsh-powell")
            std::stable_sort(order.begin(), order.end(), [&](int u, int v) { return degree[Z(u)] > degree[Z(v)]; });
        return ColouringTex(g, Greedy(p, order));
    }
    if (word == "euler") {
        const TJson r = EulerItem(p);
        const std::string kind = r["kind"].get<std::string>();
        if (kind == "none") return "None: the degrees do not allow one, or the edges are not in one piece.";
        return "An Euler " + kind + ": " + Sequence(g, r["trail"], Link(g).c_str()) + ".";
    }
    const TJson r = Matching(p);
    return std::to_string(r["size"].get<std::size_t>()) + " edges: " + EdgeList(g, r["edges"]) + ".";
}

// The graph's data: its vertices, and its edges with their weights.
std::string DataTex(const Tgraph& g, const TExamLanguage& language) {
    std::string vertices, edges;
    for (int v = 1; v <= g.vertexCount; ++v) vertices += (v == 1 ? "" : ", ") + Tex(g, v);
    for (int s = 1; s <= g.vertexCount; ++s) {
        std::vector<const Tedge*> list;
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
            if (g.directed || e->target >= s) list.push_back(e);
        for (auto e = list.rbegin(); e != list.rend(); ++e)
            edges += (edges.empty() ? "" : ", ") + EdgeTex(g, s, (*e)->target) +
                     (g.weighted ? " (" + TexText((*e)->weight) + ")" : std::string());
    }
    return "\\noindent " + std::string(language.vertices) + ": " + vertices + ".\\\\\n" + language.edges +
           (g.weighted ? std::string(" (") + language.weights + ")" : std::string()) + ": " +
           (edges.empty() ? std::string(language.none) : edges) + ".\n";
}

// The figure, shrunk to the line's width when it is wider.
std::string FigureTex(const Tgraph& g) {
    int widest = 0;
    for (int v = 1; v <= g.vertexCount; ++v) widest = std::max(widest, g.vertices[v].x + g.vertices[v].radius);
    const std::string picture = TikzText(g);
    // 0.75 pt a pixel; the line of an article is about 345 pt wide.
    if (widest * 3 / 4 <= 340) return "\\begin{center}\n" + picture + "\\end{center}\n";
    return "\\begin{center}\n\\resizebox{\\linewidth}{!}{%\n" + picture + "}\n\\end{center}\n";
}

// The table of the task's algorithm run step by step, when it has one and the graph allows the
// run (a cycle stops a topological order: the answer says so).
std::string TraceTableTex(const Tgraph& g, const TTaskTemplate& t, const std::string& vertices) {
    if (!t.trace) return {};
    try {
        const TJson trace = Trace(g, ParseTrace(g, std::string(t.trace) + vertices));
        return "\\par\\medskip\n{\\small\n" + TraceTex(trace) + "}\n";
    } catch (const TAnalysisError&) {
        return {};
    }
}

std::string Preamble() {
    return "% Nodeloom exam sheets. TeX engine: pdflatex.\n"
           "\\documentclass[a4paper]{article}\n\\usepackage[T1]{fontenc}\n\\usepackage{tikz}\n\\usepackage{booktabs}\n"
           "\\usepackage{graphicx}\n\\setlength{\\parindent}{0pt}\n\\begin{document}\n";
}

} // namespace

std::string ExamTaskWords() {
    std::string words;
    for (const TTaskTemplate& t : EnglishTasks)
        words += (words.empty() ? "" : " ") + std::string(t.word) +
                 (t.vertices == 1   ? ":S"
                  : t.vertices == 2 ? ":S,T"
                                    : "");
    return words;
}

TExam ParseExam(const std::string& json) {
    const TJson doc = TJson::parse(json, nullptr, false);
    if (doc.is_discarded() || !doc.is_object())
        throw TAnalysisError("it is not JSON of the form {\"title\": ..., \"graph\": CONSTRAINTS, \"tasks\": [...]}");
    TExam exam;
    if (doc.contains("title")) {
        if (!doc["title"].is_string()) throw TAnalysisError("\"title\" is not a text");
        exam.title = doc["title"].get<std::string>();
    }
    if (!doc.contains("graph") || !doc["graph"].is_string())
        throw TAnalysisError("\"graph\" is not a CONSTRAINTS text");
    exam.graph = doc["graph"].get<std::string>();
    if (!doc.contains("tasks") || !doc["tasks"].is_array() || doc["tasks"].empty())
        throw TAnalysisError("\"tasks\" is not a list of tasks");
    for (const TJson& task : doc["tasks"]) {
        if (!task.is_string()) throw TAnalysisError("a task is not a text");
        const std::string text = task.get<std::string>();
        const std::string word = text.substr(0, text.find(':'));
        const TTaskTemplate* t = FindTemplate(English, word);
        if (!t) throw TAnalysisError("unknown task \"" + text + "\"; the tasks are " + ExamTaskWords());
        const std::size_t commas = static_cast<std::size_t>(std::count(text.begin(), text.end(), ','));
        const bool colon = text.find(':') != std::string::npos;
        if ((t->vertices == 0 && colon) || (t->vertices > 0 && (!colon || commas + 1 != Z(t->vertices))))
            throw TAnalysisError("the task \"" + text + "\" is written " + word +
                                 (t->vertices == 1   ? ":S"
                                  : t->vertices == 2 ? ":S,T"
                                                     : ""));
        exam.tasks.push_back(text);
    }
    return exam;
}

TExamSheets ExamTex(const TExam& exam, int variants, std::uint64_t seed) {
    const TExamLanguage& language = English;
    const TGenerateSpec asked = ParseGenerateSpec(exam.graph);
    TExamSheets sheets{Preamble(), Preamble()};
    auto g = std::make_unique<Tgraph>();
    for (int i = 1; i <= variants; ++i) {
        const std::uint64_t variantSeed = seed + static_cast<std::uint64_t>(i);
        Generate(asked, variantSeed, *g);
        const std::string heading = TexText(exam.title) + (exam.title.empty() ? "" : " --- ") + language.variant + " " +
                                    std::to_string(i) + " (" + language.seed + " " + std::to_string(variantSeed) + ")";
        const std::string page = (i > 1 ? "\\clearpage\n" : "") + std::string("\\section*{");
        sheets.exam += page + heading + "}\n" + FigureTex(*g) + DataTex(*g, language) + "\\begin{enumerate}\n";
        sheets.solutions += page + heading + " --- " + language.solutions + "}\n" + FigureTex(*g) +
                            DataTex(*g, language) + "\\begin{enumerate}\n";
        for (const std::string& task : exam.tasks) {
            const std::size_t colon = task.find(':');
            const TTaskTemplate& t = *FindTemplate(language, task.substr(0, colon));
            int a = 0, b = 0;
            if (t.vertices > 0) {
                const std::string rest = task.substr(colon + 1);
                const std::size_t comma = rest.find(',');
                a = FindVertex(*g, rest.substr(0, comma));
                if (t.vertices > 1) b = FindVertex(*g, rest.substr(comma + 1));
            }
            const std::string text = TaskText(*g, t, a, b);
            sheets.exam += "\\item " + text + "\n";
            sheets.solutions += "\\item " + text + "\\\\[1ex]\n" + AnswerTex(*g, t.word, a, b, language) + "\n" +
                                TraceTableTex(*g, t, task.substr(colon == std::string::npos ? task.size() : colon));
        }
        sheets.exam += "\\end{enumerate}\n";
        sheets.solutions += "\\end{enumerate}\n";
    }
    sheets.exam += "\\end{document}\n";
    sheets.solutions += "\\end{document}\n";
    return sheets;
}

} // namespace analysis
