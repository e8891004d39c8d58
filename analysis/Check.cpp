#include "Check.h"

#include "Plain.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <numeric>
#include <optional>
#include <set>

namespace analysis {

namespace {

std::size_t Z(int v) { return static_cast<std::size_t>(v); }

// Words a question takes: none, one vertex, two vertices, or a vertex count (colouring:K).
struct TQuestionWord {
    const char* word;
    int vertices;
};
constexpr TQuestionWord QuestionWords[] = {
    {"shortest-path", 2}, {"path", 2},  {"mst", 0},         {"spanning-tree", 0}, {"bfs", 1},      {"dfs", 1},
    {"colouring", 0},     {"euler", 0}, {"topological", 0}, {"matching", 0},      {"max-flow", 2},
};

std::vector<std::string> Split(const std::string& text, const std::string& separators) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (separators.find(c) != std::string::npos) {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") + 1 - first);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::string Ordinal(std::size_t k) {
    const char* ending = (k % 100 >= 11 && k % 100 <= 13) ? "th"
                         : k % 10 == 1                    ? "st"
                         : k % 10 == 2                    ? "nd"
                         : k % 10 == 3                    ? "rd"
                                                          : "th";
    return std::to_string(k) + ending;
}

std::string NumberText(double v) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    return std::string(digits, end);
}

// The checks of one answer, in order, with the points they give.
class TVerdict {
public:
    void Add(const std::string& check, bool passed, const std::string& message) {
        checks_.push_back({{"check", check}, {"passed", passed}, {"message", passed ? "" : message}});
    }
    // A check that cannot be made because an earlier one failed.
    void Skip(const std::string& check, const std::string& because) { Add(check, false, "not checked: " + because); }
    TJson Json() const {
        int points = 0;
        for (const TJson& c : checks_) points += c["passed"].get<bool>() ? 1 : 0;
        const int of = static_cast<int>(checks_.size());
        return {{"format", "nodeloom-check/1"},
                {"correct", points == of},
                {"points", points},
                {"of", of},
                {"checks", checks_}};
    }

private:
    TJson checks_ = TJson::array();
};

// The graph as the checks read it: arcs with their lengths, and names.
class TGraphView {
public:
    explicit TGraphView(const Tgraph& g) : g_(g), p_(PlainOf(g)) {
        for (const TPlainEdge& e : p_.edges) {
            length_.emplace(std::make_pair(e.s, e.t), e.length);
            if (!p_.directed) length_.emplace(std::make_pair(e.t, e.s), e.length);
        }
    }
    const TPlain& Plain() const { return p_; }
    int N() const { return p_.n; }
    bool Directed() const { return p_.directed; }
    std::optional<double> Length(int u, int v) const {
        const auto it = length_.find({u, v});
        if (it == length_.end()) return std::nullopt;
        return it->second;
    }
    std::string Name(int v) const { return NameOf(g_, v + 1); }
    std::string Edge(int u, int v) const { return Name(u) + (p_.directed ? "→" : "–") + Name(v); }
    // Out-neighbours (all neighbours when undirected), loops left out, by number.
    std::vector<int> Next(int v) const {
        std::vector<int> next;
        for (int w = 0; w < p_.n; ++w)
            if (w != v && length_.count({v, w})) next.push_back(w);
        return next;
    }
    // A reference as FindVertex reads it; the message when it names none.
    std::optional<int> Vertex(const std::string& reference, std::string& message) const {
        try {
            return FindVertex(g_, reference) - 1;
        } catch (const TAnalysisError& e) {
            message = "\"" + reference + "\" is not a vertex of the graph";
            if (std::string(e.what()).find("shared") != std::string::npos) message = e.what();
            return std::nullopt;
        }
    }

private:
    const Tgraph& g_;
    TPlain p_;
    std::map<std::pair<int, int>, double> length_;
};

// The answer's vertices; false (and the check failed) when one names none.
bool Vertices(const TGraphView& view, const std::vector<std::string>& words, std::vector<int>& out, TVerdict& verdict) {
    std::string message;
    for (const std::string& w : words) {
        const std::optional<int> v = view.Vertex(w, message);
        if (!v) {
            verdict.Add("vertices", false, message);
            return false;
        }
        out.push_back(*v);
    }
    verdict.Add("vertices", true, "");
    return true;
}

// The answer's edges, from its lines or its graph file.
std::vector<std::pair<std::string, std::string>> EdgeWords(const TAnswer& answer) {
    if (answer.fromGraph) return answer.edges;
    std::vector<std::pair<std::string, std::string>> edges;
    std::size_t line = 0;
    for (const std::string& text : Split(answer.text, "\n")) {
        ++line;
        if (Trim(text).empty()) continue;
        const std::vector<std::string> words = SequenceWords(text);
        if (words.size() != 2)
            throw TAnalysisError("line " + std::to_string(line) + ": \"" + Trim(text) +
                                 "\" is not one edge, written A B or A-B");
        edges.push_back({words[0], words[1]});
    }
    return edges;
}

// The answer's edges, each end a vertex of the graph; false (the check failed) when an end names
// none. The check "edges of the graph" says whether each one is an edge; onGraph too.
bool EdgesOfGraph(const TGraphView& view, const TAnswer& answer, std::vector<std::pair<int, int>>& edges, bool& onGraph,
                  TVerdict& verdict) {
    std::string message, missing;
    for (const auto& [a, b] : EdgeWords(answer)) {
        const std::optional<int> u = view.Vertex(a, message), v = u ? view.Vertex(b, message) : std::nullopt;
        if (!u || !v) {
            verdict.Add("edges of the graph", false, message);
            return false;
        }
        if (!view.Length(*u, *v) && missing.empty()) missing = view.Edge(*u, *v) + " is not an edge of the graph";
        edges.push_back({*u, *v});
    }
    onGraph = missing.empty();
    verdict.Add("edges of the graph", onGraph, missing);
    return true;
}

double WeightOf(const TGraphView& view, const std::vector<std::pair<int, int>>& edges) {
    double total = 0;
    for (const auto& [u, v] : edges) total += *view.Length(u, v);
    return total;
}

struct TPieces {
    std::vector<int> parent;
    explicit TPieces(int n) : parent(Z(n)) { std::iota(parent.begin(), parent.end(), 0); }
    int Root(int v) { return parent[Z(v)] == v ? v : parent[Z(v)] = Root(parent[Z(v)]); }
    bool Join(int u, int v) {
        const int a = Root(u), b = Root(v);
        if (a == b) return false;
        parent[Z(a)] = b;
        return true;
    }
};

void CheckTree(const TGraphView& view, const TAnswer& answer, bool least, TVerdict& verdict) {
    std::vector<std::pair<int, int>> edges;
    bool onGraph = false;
    if (!EdgesOfGraph(view, answer, edges, onGraph, verdict)) {
        for (const char* check : {"no cycle", "spans", "least weight"})
            if (least || std::string(check) != "least weight") verdict.Skip(check, "a vertex is not the graph's");
        return;
    }
    TPieces tree(view.N()), graph(view.N());
    std::string cycle;
    for (const auto& [u, v] : edges)
        if (!tree.Join(u, v) && cycle.empty()) cycle = view.Edge(u, v) + " closes a cycle";
    verdict.Add("no cycle", cycle.empty(), cycle);
    for (const TPlainEdge& e : view.Plain().edges) graph.Join(e.s, e.t);
    std::string apart;
    for (int v = 0; v < view.N() && apart.empty(); ++v)
        for (int w = v + 1; w < view.N() && apart.empty(); ++w)
            if (graph.Root(v) == graph.Root(w) && tree.Root(v) != tree.Root(w))
                apart = "the tree does not connect " + view.Name(v) + " and " + view.Name(w);
    verdict.Add("spans", apart.empty(), apart);
    if (!least) return;
    const bool spanning = onGraph && cycle.empty() && apart.empty();
    const double weight = spanning ? WeightOf(view, edges) : 0,
                 best = SpanningTree(view.Plain())["total"].get<double>();
    verdict.Add("least weight", spanning && weight == best,
                spanning ? "weight " + NumberText(weight) + "; the least is " + NumberText(best)
                         : "not a spanning tree of the graph, so not a minimum one");
}

void CheckPath(const TGraphView& view, const Tgraph& g, const TQuestion& q, const TAnswer& answer, bool shortest,
               TVerdict& verdict) {
    std::vector<int> path;
    const std::vector<const char*> later = {"starts", "ends", "edges of the graph", shortest ? "shortest" : "simple"};
    if (!Vertices(view, SequenceWords(answer.text), path, verdict)) {
        for (const char* check : later) verdict.Skip(check, "a vertex is not the graph's");
        return;
    }
    const int s = q.a - 1, t = q.b - 1;
    verdict.Add("starts", !path.empty() && path.front() == s,
                path.empty() ? "the path is empty"
                             : "the path starts at " + view.Name(path.front()) + ", not at " + view.Name(s));
    verdict.Add("ends", !path.empty() && path.back() == t,
                path.empty() ? "the path is empty"
                             : "the path ends at " + view.Name(path.back()) + ", not at " + view.Name(t));
    std::string missing;
    double length = 0;
    for (std::size_t i = 1; i < path.size() && missing.empty(); ++i) {
        const std::optional<double> l = view.Length(path[i - 1], path[i]);
        if (!l)
            missing = view.Edge(path[i - 1], path[i]) + " is not an edge of the graph";
        else
            length += *l;
    }
    verdict.Add("edges of the graph", missing.empty(), missing);
    if (!shortest) {
        std::string twice;
        std::set<int> seen;
        for (int v : path)
            if (!seen.insert(v).second && twice.empty())
                twice = view.Name(v) + " comes twice: a path visits each vertex once";
        verdict.Add("simple", twice.empty(), twice);
        return;
    }
    const TJson best = Result(g, {"path", q.a, q.b});
    if (best["length"].is_null()) {
        verdict.Add("shortest", false,
                    best["negative_cycle"].get<bool>() ? "a cycle of negative length leaves no shortest path"
                                                       : view.Name(t) + " cannot be reached from " + view.Name(s));
        return;
    }
    const double least = best["length"].get<double>();
    const bool whole = !path.empty() && path.front() == s && path.back() == t && missing.empty();
    verdict.Add("shortest", whole && length == least,
                whole ? "length " + NumberText(length) + "; the least is " + NumberText(least)
                      : "not a path from " + view.Name(s) + " to " + view.Name(t) + ", so not a shortest one");
}

// A breadth- or depth-first order from S: at each step the next vertex must be a neighbour, not
// yet visited, of the vertex the search is at (the front of the queue, or the deepest vertex of
// the stack that has such neighbours).
void CheckSearch(const TGraphView& view, const TQuestion& q, const TAnswer& answer, bool breadth, TVerdict& verdict) {
    std::vector<int> order;
    if (!Vertices(view, SequenceWords(answer.text), order, verdict)) {
        for (const char* check : {"starts", "each vertex once", "search order"})
            verdict.Skip(check, "a vertex is not the graph's");
        return;
    }
    const int s = q.a - 1;
    verdict.Add("starts", !order.empty() && order.front() == s,
                order.empty() ? "the order is empty"
                              : "the search starts at " + view.Name(s) + ", not at " + view.Name(order.front()));
    std::string twice;
    std::set<int> seen;
    for (int v : order)
        if (!seen.insert(v).second && twice.empty()) twice = view.Name(v) + " comes twice";
    verdict.Add("each vertex once", twice.empty(), twice);
    if (order.empty() || order.front() != s || !twice.empty()) {
        verdict.Skip("search order", "the order must start at " + view.Name(s) + " and list each vertex once");
        return;
    }
    std::vector<char> visited(Z(view.N()), 0);
    visited[Z(s)] = 1;
    const auto open = [&](int v) {
        std::vector<int> next;
        for (int w : view.Next(v))
            if (!visited[Z(w)]) next.push_back(w);
        return next;
    };
    const auto names = [&](const std::vector<int>& vs) {
        std::string text;
        for (std::size_t i = 0; i < vs.size(); ++i)
            text += (i == 0 ? "" : i + 1 == vs.size() ? " or " : ", ") + view.Name(vs[i]);
        return text;
    };
    std::vector<int> active{s}; // the queue from its front, or the stack from its bottom
    std::size_t front = 0;
    std::string message;
    for (std::size_t i = 1; i <= order.size() && message.empty(); ++i) {
        // The vertex the search is at.
        int at = -1;
        while (at < 0 && (breadth ? front < active.size() : !active.empty())) {
            const int v = breadth ? active[front] : active.back();
            if (!open(v).empty())
                at = v;
            else if (breadth)
                ++front;
            else
                active.pop_back();
        }
        if (i == order.size()) {
            if (at >= 0) message = "the order stops, but the search goes on to " + names(open(at));
            break;
        }
        const int v = order[i];
        if (at < 0) {
            message = view.Name(v) + " cannot be reached from " + view.Name(s);
        } else if (const std::vector<int> next = open(at); std::find(next.begin(), next.end(), v) == next.end()) {
            message = view.Name(v) + " cannot come " + Ordinal(i + 1) + ": the search is at " + view.Name(at) +
                      ", and goes on to " + names(open(at));
        } else {
            visited[Z(v)] = 1;
            active.push_back(v);
        }
    }
    verdict.Add("search order", message.empty(), message);
}

void CheckColouring(const TGraphView& view, const TQuestion& q, const TAnswer& answer, TVerdict& verdict) {
    std::vector<std::string> colourOf(Z(view.N()));
    std::string message, twice;
    bool known = true;
    std::size_t line = 0;
    for (const std::string& text : Split(answer.text, "\n")) {
        ++line;
        if (Trim(text).empty()) continue;
        const std::vector<std::string> words = Split(text, " \t\r,:=");
        if (words.size() != 2)
            throw TAnalysisError("line " + std::to_string(line) + ": \"" + Trim(text) + "\" is not NAME COLOUR");
        const std::optional<int> v = view.Vertex(words[0], message);
        if (!v) {
            known = false;
            break;
        }
        if (!colourOf[Z(*v)].empty() && twice.empty()) twice = view.Name(*v) + " is coloured twice";
        colourOf[Z(*v)] = Lower(words[1]);
    }
    const std::vector<const char*> later = {"every vertex once", "proper",
                                            q.colours > 0 ? "at most K colours" : "fewest colours"};
    verdict.Add("vertices", known, message);
    if (!known) {
        for (const char* check : later) verdict.Skip(check, "a vertex is not the graph's");
        return;
    }
    for (int v = 0; v < view.N() && twice.empty(); ++v)
        if (colourOf[Z(v)].empty()) twice = view.Name(v) + " has no colour";
    verdict.Add("every vertex once", twice.empty(), twice);
    std::string clash;
    for (const auto& [u, v] : view.Plain().simple)
        if (clash.empty() && !colourOf[Z(u)].empty() && colourOf[Z(u)] == colourOf[Z(v)])
            clash = view.Name(u) + " and " + view.Name(v) + " are adjacent and both " + colourOf[Z(u)];
    verdict.Add("proper", clash.empty(), clash);
    std::set<std::string> used(colourOf.begin(), colourOf.end());
    used.erase(std::string());
    const int count = static_cast<int>(used.size());
    if (q.colours > 0) {
        verdict.Add("at most K colours", count <= q.colours,
                    std::to_string(count) + " colours; at most " + std::to_string(q.colours) + " are allowed");
        return;
    }
    const TJson best = Colouring(view.Plain());
    const int fewest = best["colours"].get<int>();
    // Beyond the exact search's bound the fewest known is an upper bound: fewer is better still.
    verdict.Add("fewest colours", count <= fewest,
                std::to_string(count) + " colours; the fewest is " + std::to_string(fewest));
}

bool SaysNone(const TAnswer& answer) { return Lower(Trim(answer.text)) == "none"; }

void CheckEuler(const TGraphView& view, const TAnswer& answer, TVerdict& verdict) {
    const TJson euler = EulerItem(view.Plain());
    const std::string kind = euler["kind"].get<std::string>();
    const std::vector<const char*> checks = {"vertices", "edges of the graph", "each edge once", "every edge",
                                             "closed"};
    if (SaysNone(answer) || kind == "none") {
        const bool right = SaysNone(answer) && kind == "none";
        for (const char* check : checks)
            verdict.Add(check, right,
                        kind == "none" ? "the graph has no Euler trail: the answer is none"
                                       : "the graph has an Euler " + kind);
        return;
    }
    std::vector<int> walk;
    if (!Vertices(view, SequenceWords(answer.text), walk, verdict)) {
        for (std::size_t i = 1; i < checks.size(); ++i) verdict.Skip(checks[i], "a vertex is not the graph's");
        return;
    }
    std::map<std::pair<int, int>, int> uses;
    std::string missing, twice;
    const auto key = [&](int u, int v) {
        return view.Directed() || u < v ? std::pair<int, int>(u, v) : std::pair<int, int>(v, u);
    };
    for (std::size_t i = 1; i < walk.size(); ++i) {
        if (!view.Length(walk[i - 1], walk[i])) {
            if (missing.empty()) missing = view.Edge(walk[i - 1], walk[i]) + " is not an edge of the graph";
            continue;
        }
        if (++uses[key(walk[i - 1], walk[i])] == 2 && twice.empty())
            twice = view.Edge(walk[i - 1], walk[i]) + " is used twice";
    }
    verdict.Add("edges of the graph", missing.empty(), missing);
    verdict.Add("each edge once", twice.empty(), twice);
    std::string unused;
    for (const TPlainEdge& e : view.Plain().edges)
        if (unused.empty() && !uses.count(key(e.s, e.t))) unused = view.Edge(e.s, e.t) + " is not used";
    verdict.Add("every edge", unused.empty(), unused);
    const bool closed = !walk.empty() && walk.front() == walk.back();
    verdict.Add("closed", kind != "circuit" || closed,
                "the walk ends at " + (walk.empty() ? std::string("nothing") : view.Name(walk.back())) +
                    ", not where it starts: the graph has an Euler circuit");
}

void CheckTopological(const TGraphView& view, const TAnswer& answer, TVerdict& verdict) {
    // Kahn's algorithm: whether an order exists at all.
    std::vector<int> in(Z(view.N()));
    for (const TPlainEdge& e : view.Plain().edges) ++in[Z(e.t)];
    std::vector<int> ready;
    for (int v = 0; v < view.N(); ++v)
        if (in[Z(v)] == 0) ready.push_back(v);
    int placed = 0;
    while (!ready.empty()) {
        const int v = ready.back();
        ready.pop_back();
        ++placed;
        for (const TPlainEdge& e : view.Plain().edges)
            if (e.s == v && --in[Z(e.t)] == 0) ready.push_back(e.t);
    }
    const bool exists = placed == view.N();
    const std::vector<const char*> checks = {"vertices", "every vertex once", "arcs forward"};
    if (SaysNone(answer) || !exists) {
        const bool right = SaysNone(answer) && !exists;
        for (const char* check : checks)
            verdict.Add(check, right,
                        exists ? "the graph has no cycle, so it has an order"
                               : "the graph has a cycle: the answer is none");
        return;
    }
    std::vector<int> order;
    if (!Vertices(view, SequenceWords(answer.text), order, verdict)) {
        for (std::size_t i = 1; i < checks.size(); ++i) verdict.Skip(checks[i], "a vertex is not the graph's");
        return;
    }
    std::vector<int> position(Z(view.N()), -1);
    std::string once;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (position[Z(order[i])] >= 0 && once.empty()) once = view.Name(order[i]) + " comes twice";
        position[Z(order[i])] = static_cast<int>(i);
    }
    for (int v = 0; v < view.N() && once.empty(); ++v)
        if (position[Z(v)] < 0) once = view.Name(v) + " is missing";
    verdict.Add("every vertex once", once.empty(), once);
    std::string back;
    for (const TPlainEdge& e : view.Plain().edges)
        if (back.empty() && position[Z(e.s)] >= 0 && position[Z(e.t)] >= 0 && position[Z(e.t)] < position[Z(e.s)])
            back = view.Name(e.t) + " comes before " + view.Name(e.s) + ", but " + view.Edge(e.s, e.t) + " is an edge";
    verdict.Add("arcs forward", back.empty(), back);
}

void CheckMatching(const TGraphView& view, const TAnswer& answer, TVerdict& verdict) {
    std::vector<std::pair<int, int>> edges;
    bool onGraph = false;
    if (!EdgesOfGraph(view, answer, edges, onGraph, verdict)) {
        for (const char* check : {"no shared vertex", "maximum"}) verdict.Skip(check, "a vertex is not the graph's");
        return;
    }
    std::map<int, std::pair<int, int>> holder;
    std::string shared;
    for (const auto& edge : edges)
        for (int v : {edge.first, edge.second}) {
            const auto [it, fresh] = holder.emplace(v, edge);
            if ((!fresh || edge.first == edge.second) && shared.empty())
                shared = view.Name(v) + " is in two edges: " + view.Edge(it->second.first, it->second.second) +
                         " and " + view.Edge(edge.first, edge.second);
        }
    verdict.Add("no shared vertex", shared.empty(), shared);
    const std::size_t best = Matching(view.Plain())["size"].get<std::size_t>();
    verdict.Add("maximum", onGraph && shared.empty() && edges.size() == best,
                onGraph && shared.empty()
                    ? std::to_string(edges.size()) + " edges; a maximum matching has " + std::to_string(best)
                    : "not a matching of the graph, so not a maximum one");
}

void CheckFlow(const Tgraph& g, const TQuestion& q, const TAnswer& answer, TVerdict& verdict) {
    const std::string text = Trim(answer.text);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        throw TAnalysisError("\"" + text + "\" is not a number");
    const double best = Result(g, {"flow", q.a, q.b})["value"].get<double>();
    verdict.Add("value", value == best, NumberText(value) + "; the maximum flow is " + NumberText(best));
}

} // namespace

std::vector<std::string> SequenceWords(const std::string& text) {
    std::string plain = text;
    for (const char* arrow : {"->", "→", "–", "—"})
        for (std::size_t at; (at = plain.find(arrow)) != std::string::npos;)
            plain.replace(at, std::string(arrow).size(), " ");
    return Split(plain, " \t\r\n,;-");
}

TQuestion ParseQuestion(const Tgraph& g, const std::string& text) {
    const std::size_t colon = text.find(':');
    TQuestion q;
    q.word = text.substr(0, colon);
    const std::string rest = colon == std::string::npos ? "" : text.substr(colon + 1);
    const auto known = std::find_if(std::begin(QuestionWords), std::end(QuestionWords),
                                    [&](const TQuestionWord& w) { return q.word == w.word; });
    if (known == std::end(QuestionWords))
        throw TAnalysisError("Unknown question \"" + text +
                             "\"; the questions are shortest-path:S,T path:S,T mst spanning-tree bfs:S dfs:S colouring "
                             "colouring:K euler topological matching max-flow:S,T.");
    const std::vector<std::string> names = colon == std::string::npos ? std::vector<std::string>() : Split(rest, ",");
    if (q.word == "colouring" && colon != std::string::npos) {
        int k = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), k);
        if (ec != std::errc() || end != rest.data() + rest.size() || k < 1)
            throw TAnalysisError("The question \"" + text + "\" is written colouring:K with K a whole number from 1.");
        q.colours = k;
        return q;
    }
    if (static_cast<int>(names.size()) != known->vertices || (known->vertices == 0 && colon != std::string::npos)) {
        static const char* const forms[] = {"", ":S", ":S,T"};
        throw TAnalysisError("The question \"" + text + "\" is written " + q.word + forms[known->vertices] + ".");
    }
    if (known->vertices > 0) q.a = FindVertex(g, names[0]);
    if (known->vertices > 1) q.b = FindVertex(g, names[1]);
    if (g.directed && (q.word == "mst" || q.word == "spanning-tree" || q.word == "matching"))
        throw TAnalysisError("Cannot ask " + q.word +
                             " of a directed graph: it is a question about undirected graphs.");
    if (!g.directed && q.word == "topological")
        throw TAnalysisError("Cannot ask topological of an undirected graph: it is a question about directed graphs.");
    if (q.word == "max-flow") {
        const TPlain p = PlainOf(g);
        for (const TPlainEdge& e : p.edges)
            if (!p.byWeights || !(e.value >= 0))
                throw TAnalysisError("Cannot ask max-flow: the edges' weights are not all non-negative numbers.");
        if (q.a == q.b) throw TAnalysisError("Cannot ask max-flow: the source is the sink.");
    }
    return q;
}

TJson CheckAnswer(const Tgraph& g, const TQuestion& q, const TAnswer& answer) {
    const TGraphView view(g);
    TVerdict verdict;
    if (q.word == "shortest-path" || q.word == "path")
        CheckPath(view, g, q, answer, q.word == "shortest-path", verdict);
    else if (q.word == "mst" || q.word == "spanning-tree")
        CheckTree(view, answer, q.word == "mst", verdict);
    else if (q.word == "bfs" || q.word == "dfs")
        CheckSearch(view, q, answer, q.word == "bfs", verdict);
    else if (q.word == "colouring")
        CheckColouring(view, q, answer, verdict);
    else if (q.word == "euler")
        CheckEuler(view, answer, verdict);
    else if (q.word == "topological")
        CheckTopological(view, answer, verdict);
    else if (q.word == "matching")
        CheckMatching(view, answer, verdict);
    else if (q.word == "max-flow")
        CheckFlow(g, q, answer, verdict);
    else
        throw TAnalysisError("Unknown question \"" + q.word + "\".");
    return verdict.Json();
}

} // namespace analysis
