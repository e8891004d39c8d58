// The graph in words. The long description reads the report (degrees, components, bipartiteness,
// planarity, cycles) and the graph's own edges (neighbours and weights as written); the shapes
// with a name (path, cycle, complete, star, complete bipartite, wheel, tree) are recognised here
// on the simple undirected graph.

#include "Describe.h"

#include "Plain.h"
#include "Text.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace analysis {

namespace {

constexpr const char* Dash = "\u2013"; // between two vertices of an undirected edge or a walk

std::string Whole(long long n) {
    char text[24];
    return std::string(text, std::to_chars(text, text + sizeof text, n).ptr);
}

// A number of the report as the report's text form writes it; nlohmann's dump is locale-free.
std::string Number(const TJson& x) {
    if (x.is_null()) return "-";
    if (x.is_number_integer()) return Whole(x.get<long long>());
    return x.dump();
}

std::string Count(long long n, const char* one, const char* more) { return Whole(n) + " " + (n == 1 ? one : more); }

// "a", "a and b", "a, b and c".
std::string Listed(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return out;
}

std::string Joined(const std::vector<std::string>& items, const std::string& separator) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? separator : "") + items[i];
    return out;
}

// A weight as readers see it: UTF-8, control characters as spaces.
std::string ShownWeight(const std::string& bytes) {
    std::string text = Utf8Text(bytes);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

std::size_t Characters(const std::string& utf8) {
    std::size_t n = 0;
    for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string Kind(bool directed, bool weighted) {
    return std::string(directed ? "Directed " : "Undirected ") + (weighted ? "weighted" : "unweighted") + " graph";
}

// One edge of the graph as the file holds it, with its shown weight.
struct TEdgeWords {
    int s, t; // 0-based
    std::string weight;
};

std::vector<TEdgeWords> EdgesOf(const Tgraph& g, int n) {
    std::vector<TEdgeWords> edges;
    for (int s = 1; s <= n; ++s)
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
            if (e->target >= 1 && e->target <= n && (g.directed || e->target >= s))
                edges.push_back({s - 1, e->target - 1, ShownWeight(e->weight)});
    return edges;
}

// "Bob (5)", or "Bob" in an unweighted graph or for an empty weight.
std::string WithWeight(const std::string& name, const std::string& weight, bool weighted) {
    return weighted && !weight.empty() ? name + " (" + weight + ")" : name;
}

// The neighbour lists of every vertex, each in vertex order and then the file's order: out and
// in for a directed graph, out alone (both ends) for an undirected one.
struct TNeighbours {
    std::vector<std::vector<std::string>> out, in;
};

TNeighbours NeighboursOf(const std::vector<TEdgeWords>& edges, const std::vector<std::string>& names, bool directed,
                         bool weighted) {
    const std::size_t n = names.size();
    std::vector<std::vector<std::pair<int, std::string>>> out(n), in(n);
    for (const TEdgeWords& e : edges) {
        out[static_cast<std::size_t>(e.s)].push_back({e.t, e.weight});
        if (directed)
            in[static_cast<std::size_t>(e.t)].push_back({e.s, e.weight});
        else if (e.s != e.t)
            out[static_cast<std::size_t>(e.t)].push_back({e.s, e.weight});
    }
    TNeighbours result{std::vector<std::vector<std::string>>(n), std::vector<std::vector<std::string>>(n)};
    const auto fill = [&](std::vector<std::vector<std::pair<int, std::string>>>& from,
                          std::vector<std::vector<std::string>>& to) {
        for (std::size_t v = 0; v < n; ++v) {
            std::stable_sort(from[v].begin(), from[v].end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& [w, weight] : from[v])
                to[v].push_back(WithWeight(names[static_cast<std::size_t>(w)], weight, weighted));
        }
    };
    fill(out, result.out);
    fill(in, result.in);
    return result;
}

// A shape with a name, with and without the vertices' names in it; empty when none applies.
struct TShape {
    std::string named, plain;
};

// The walk along a path or cycle of the simple graph: from `start`, each time to the lowest
// neighbour not yet visited.
std::vector<int> Walk(const std::vector<std::set<int>>& adjacent, int start) {
    std::vector<int> walk{start};
    std::vector<bool> seen(adjacent.size());
    seen[static_cast<std::size_t>(start)] = true;
    for (bool moved = true; moved;) {
        moved = false;
        for (int w : adjacent[static_cast<std::size_t>(walk.back())])
            if (!seen[static_cast<std::size_t>(w)]) {
                seen[static_cast<std::size_t>(w)] = true;
                walk.push_back(w);
                moved = true;
                break;
            }
    }
    return walk;
}

TShape ShapeOf(const Tgraph& g, const TJson& r, const std::vector<std::string>& names) {
    const TPlain p = PlainOf(g);
    const int n = p.n;
    const long long m = static_cast<long long>(p.edges.size());
    // Shapes are named for simple undirected graphs only.
    if (p.directed || n == 0 || static_cast<long long>(p.simple.size()) != m) return {};
    const auto nameOf = [&](int v) { return names[static_cast<std::size_t>(v)]; };
    const auto walkText = [&](const std::vector<int>& walk) {
        std::vector<std::string> parts;
        for (int v : walk) parts.push_back(nameOf(v));
        return Joined(parts, Dash);
    };
    if (n == 1) return {"a single vertex " + nameOf(0), "a single vertex"};
    if (m == 0) return {};
    std::vector<std::set<int>> adjacent(static_cast<std::size_t>(n));
    for (const auto& [a, b] : p.simple) {
        adjacent[static_cast<std::size_t>(a)].insert(b);
        adjacent[static_cast<std::size_t>(b)].insert(a);
    }
    std::vector<int> degree(static_cast<std::size_t>(n));
    for (int v = 0; v < n; ++v)
        degree[static_cast<std::size_t>(v)] = static_cast<int>(adjacent[static_cast<std::size_t>(v)].size());
    const int highest = *std::max_element(degree.begin(), degree.end());
    const bool connected = r["components"].size() == 1;
    if (!connected) return {};
    const std::string order = Whole(n);
    if (m == static_cast<long long>(n) * (n - 1) / 2)
        return {"a complete graph on " + Listed(names), "a complete graph on " + order + " vertices"};
    if (highest == 2 && m == n) {
        return {"a cycle " + walkText(Walk(adjacent, 0)), "a cycle of " + order + " vertices"};
    }
    if (highest <= 2 && m == n - 1) {
        const int end = static_cast<int>(std::find(degree.begin(), degree.end(), 1) - degree.begin());
        return {"a path " + walkText(Walk(adjacent, end)), "a path of " + order + " vertices"};
    }
    const int hub = static_cast<int>(std::find(degree.begin(), degree.end(), n - 1) - degree.begin());
    if (highest == n - 1 && m == n - 1) {
        const std::string text = "a star with centre " + nameOf(hub) + " and " + Whole(n - 1) + " leaves";
        return {text, "a star with " + Whole(n - 1) + " leaves"};
    }
    if (highest == n - 1 && m == 2LL * (n - 1) && n >= 5 && std::count(degree.begin(), degree.end(), 3) == n - 1) {
        // The rim, the graph without its hub, must be one cycle.
        std::vector<std::set<int>> rim = adjacent;
        for (auto& neighbours : rim) neighbours.erase(hub);
        rim[static_cast<std::size_t>(hub)].clear();
        const int first = hub == 0 ? 1 : 0;
        if (static_cast<int>(Walk(rim, first).size()) == n - 1) {
            const std::string text = "a wheel with hub " + nameOf(hub) + " and " + Whole(n - 1) + " spokes";
            return {text, "a wheel with " + Whole(n - 1) + " spokes"};
        }
    }
    const TJson& bipartite = r["bipartite"];
    if (bipartite["value"].get<bool>()) {
        const std::size_t a = bipartite["sides"][0].size(), b = bipartite["sides"][1].size();
        if (a >= 2 && b >= 2 && static_cast<long long>(a * b) == m) {
            const std::string k = "K" + Whole(static_cast<long long>(std::min(a, b))) + "," +
                                  Whole(static_cast<long long>(std::max(a, b)));
            std::vector<std::string> sides[2];
            for (int s = 0; s < 2; ++s)
                for (const TJson& v : bipartite["sides"][s]) sides[s].push_back(nameOf(v.get<int>() - 1));
            return {"a complete bipartite graph " + k + " with sides {" + Joined(sides[0], ", ") + "} and {" +
                        Joined(sides[1], ", ") + "}",
                    "a complete bipartite graph " + k};
        }
    }
    if (r["acyclic"].value("tree", false)) return {"a tree", "a tree"};
    return {};
}

std::string Properties(const TJson& r) {
    std::vector<std::string> items;
    const bool directed = r["directed"].get<bool>();
    const std::size_t components = r["components"].size();
    if (r["vertex_count"].get<int>() > 0) {
        if (directed && r["strong_components"].size() == 1)
            items.push_back("strongly connected");
        else if (components == 1)
            items.push_back(directed ? "weakly connected" : "connected");
        else
            items.push_back("not connected (" + Count(static_cast<long long>(components), "component", "components") +
                            ")");
    }
    items.push_back(r["bipartite"]["value"].get<bool>() ? "bipartite" : "not bipartite");
    items.push_back(r["planar"]["value"].get<bool>() ? "planar" : "not planar");
    const TJson& acyclic = r["acyclic"];
    std::string cycles;
    if (directed)
        cycles = acyclic["value"].get<bool>() ? "it is acyclic" : "it has a directed cycle";
    else if (!acyclic["value"].get<bool>())
        cycles = "it has a cycle";
    else
        cycles = acyclic.value("tree", false) ? "it is a tree" : "it is a forest";
    return "It is " + Listed(items) + "; " + cycles + ".\n";
}

std::vector<std::string> NamesIn(const TJson& list, const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const TJson& v : list) out.push_back(names[static_cast<std::size_t>(v.get<int>() - 1)]);
    return out;
}

std::string EdgesIn(const TJson& pairs, const std::vector<std::string>& names, const char* link) {
    std::vector<std::string> out;
    for (const TJson& e : pairs) out.push_back(Joined(NamesIn(e, names), link));
    return out.empty() ? "none" : Joined(out, ", ");
}

// One sentence for a shown result.
std::string Sentence(const TShownResult& shown, const std::vector<std::string>& names, bool directed) {
    const std::string& word = shown.first.word;
    const TJson& v = shown.second;
    const auto nameOf = [&](const TJson& number) { return names[static_cast<std::size_t>(number.get<int>() - 1)]; };
    const char* link = directed ? " \u2192 " : Dash;
    if (word == "path") {
        const std::string ends = " from " + nameOf(v["from"]) + " to " + nameOf(v["to"]);
        if (v["negative_cycle"].get<bool>()) return "There is no shortest path" + ends + ": there is a negative cycle.";
        if (v["length"].is_null()) return "There is no path" + ends + ".";
        const std::vector<std::string> through = NamesIn(v["vertices"], names);
        const std::string length = "; length " + Number(v["length"]) + ".";
        if (through.size() <= 1) return "The shortest path" + ends + " has no edge" + length;
        if (through.size() == 2) return "The shortest path" + ends + " is a single edge" + length;
        return "The shortest path" + ends + " goes through " +
               Listed(std::vector<std::string>(through.begin() + 1, through.end() - 1)) + length;
    }
    if (word == "bfs" || word == "dfs")
        return std::string(word == "bfs" ? "A breadth" : "A depth") + "-first search from " + nameOf(v["start"]) +
               " visits " + Joined(NamesIn(v["order"], names), ", ") + ".";
    if (word == "mst")
        return "A minimum spanning forest of total " + Number(v["total"]) + " takes the edges " +
               EdgesIn(v["edges"], names, Dash) + ".";
    if (word == "euler") {
        const std::string kind = v["kind"].get<std::string>();
        if (kind == "none") return "There is no Euler trail.";
        return "An Euler " + kind + ": " + Joined(NamesIn(v["trail"], names), link) + ".";
    }
    if (word == "matching")
        return "A maximum matching of " + Count(v["size"].get<long long>(), "edge", "edges") + ": " +
               EdgesIn(v["edges"], names, Dash) + ".";
    if (word == "colouring") {
        std::vector<std::string> each;
        for (std::size_t i = 0; i < v["colour_of"].size(); ++i)
            each.push_back(names[i] + " " + Number(v["colour_of"][i]));
        return "A colouring with " + Count(v["colours"].get<long long>(), "colour", "colours") +
               (v["exact"].get<bool>() ? " (the fewest)" : " (not proven the fewest)") +
               (each.empty() ? "" : ": " + Joined(each, ", ")) + ".";
    }
    if (word == "components") {
        std::vector<std::string> groups;
        for (const TJson& group : v["components"]) groups.push_back("{" + Joined(NamesIn(group, names), ", ") + "}");
        return std::string("The ") + (directed ? "weak " : "") + "components are " +
               (groups.empty() ? "none" : Joined(groups, ", ")) + ".";
    }
    if (word == "flow")
        return "The maximum flow from " + nameOf(v["source"]) + " to " + nameOf(v["sink"]) + " is " +
               Number(v["value"]) + "; the minimum cut is " + EdgesIn(v["cut"], names, " \u2192 ") + ".";
    return {};
}

// The short text cut to MaxShortDescription characters at a character boundary.
std::string Capped(const std::string& text) {
    if (Characters(text) <= MaxShortDescription) return text;
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && ++characters > MaxShortDescription - 1) break;
        out += text[i];
    }
    return out + "\u2026";
}

} // namespace

TDescription Describe(const Tgraph& g, const TJson& r, const std::vector<TShownResult>& shown) {
    const std::vector<std::string> names = ShownNames(r, g);
    const bool directed = r["directed"].get<bool>(), weighted = r["weighted"].get<bool>();
    const int n = r["vertex_count"].get<int>();
    const long long m = r["edge_count"].get<long long>(), loops = r["loop_count"].get<long long>();
    const std::string head =
        Kind(directed, weighted) + " of " + Count(n, "vertex", "vertices") + " and " + Count(m, "edge", "edges");
    const TShape shape = ShapeOf(g, r, names);

    TDescription d;
    d.shortText = head + (shape.named.empty() ? "" : ": " + shape.named) + ".";
    if (Characters(d.shortText) > MaxShortDescription)
        d.shortText = Capped(head + (shape.plain.empty() ? "" : ": " + shape.plain) + ".");

    std::string& out = d.longText;
    out = head + (loops > 0 ? ", " + Count(loops, "loop", "loops") + " among them" : "") + ".\n";
    const TNeighbours neighbours = NeighboursOf(EdgesOf(g, n), names, directed, weighted);
    if (n > 0) out += "Vertices in order:\n";
    for (int i = 0; i < n; ++i) {
        const std::size_t v = static_cast<std::size_t>(i);
        const TJson& item = r["vertices"][v];
        out += "- " + names[v] + ": ";
        if (directed) {
            out += "out-degree " + Number(item["out_degree"]) + ", in-degree " + Number(item["in_degree"]) + "; to " +
                   (neighbours.out[v].empty() ? "none" : Joined(neighbours.out[v], ", ")) + "; from " +
                   (neighbours.in[v].empty() ? "none" : Joined(neighbours.in[v], ", ")) + ".\n";
        } else {
            out += "degree " + Number(item["degree"]) + "; " +
                   (neighbours.out[v].empty() ? "no neighbours" : "neighbours " + Joined(neighbours.out[v], ", ")) +
                   ".\n";
        }
    }
    out += Properties(r);
    if (!shape.named.empty()) out += "It is " + shape.named + ".\n";
    for (const TShownResult& result : shown) {
        const std::string sentence = Sentence(result, names, directed);
        if (!sentence.empty()) out += sentence + "\n";
    }
    return d;
}

std::string DescriptionText(const TDescription& d) { return d.shortText + "\n\n" + d.longText; }

std::string DescriptionMarkdown(const TDescription& d) {
    std::string out = "# " + d.shortText + "\n\n";
    std::size_t start = 0;
    bool list = false;
    while (start < d.longText.size()) {
        const std::size_t end = d.longText.find('\n', start);
        const std::string line = d.longText.substr(start, end - start);
        start = end + 1;
        const bool item = line.rfind("- ", 0) == 0;
        // A paragraph of its own for every line but the list's items, which stay together.
        if (list && !item) out += "\n";
        out += line + "\n";
        if (!item && line.back() != ':') out += "\n";
        list = item;
    }
    while (out.size() > 1 && out[out.size() - 2] == '\n') out.pop_back();
    return out;
}

std::string DescriptionJson(const TDescription& d) {
    TJson j;
    j["format"] = "nodeloom-description/1";
    j["short"] = d.shortText;
    j["long"] = d.longText;
    return j.dump(2) + "\n";
}

TAccessibleGraph AccessibleTexts(const Tgraph& g) {
    const TPlain p = PlainOf(g);
    // The names as the report would give them: the same rule, without computing a report.
    TJson r;
    r["vertices"] = TJson::array();
    for (int v = 1; v <= p.n; ++v) r["vertices"].push_back({{"number", v}, {"name", NameOf(g, v)}});
    const std::vector<std::string> names = ShownNames(r, g);
    const std::vector<TEdgeWords> edges = EdgesOf(g, p.n);

    TAccessibleGraph a;
    a.name = Kind(g.directed, g.weighted) + ", " + Count(p.n, "vertex", "vertices") + ", " +
             Count(static_cast<long long>(edges.size()), "edge", "edges");
    std::vector<int> in(static_cast<std::size_t>(p.n)), out(static_cast<std::size_t>(p.n));
    for (const TEdgeWords& e : edges) {
        ++out[static_cast<std::size_t>(e.s)];
        ++in[static_cast<std::size_t>(e.t)];
    }
    const TNeighbours neighbours = NeighboursOf(edges, names, g.directed, g.weighted);
    for (std::size_t v = 0; v < static_cast<std::size_t>(p.n); ++v) {
        a.vertexNames.push_back("vertex " + names[v]);
        // A loop adds 2 to the degree, as in the report.
        std::string text = g.directed ? "out-degree " + Whole(out[v]) + ", in-degree " + Whole(in[v])
                                      : "degree " + Whole(in[v] + out[v]);
        if (g.directed)
            text += "; to " + (neighbours.out[v].empty() ? std::string("none") : Joined(neighbours.out[v], ", ")) +
                    "; from " + (neighbours.in[v].empty() ? std::string("none") : Joined(neighbours.in[v], ", "));
        else
            text += neighbours.out[v].empty() ? "; no neighbours" : "; neighbours " + Joined(neighbours.out[v], ", ");
        a.vertexDescriptions.push_back(text);
    }
    for (const TEdgeWords& e : edges) {
        std::string name = "edge " + names[static_cast<std::size_t>(e.s)] + (g.directed ? " \u2192 " : " \u2013 ") +
                           names[static_cast<std::size_t>(e.t)];
        if (g.weighted && !e.weight.empty()) name += ", weight " + e.weight;
        a.edges.push_back({e.s + 1, e.t + 1, name});
    }
    return a;
}

} // namespace analysis
