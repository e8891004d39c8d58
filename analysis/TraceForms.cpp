// A trace as the tables a textbook prints, as text for a terminal and as LaTeX for slides and
// exercise sheets (booktabs rules, nothing else needed; article and beamer alike). Both forms are
// read from the JSON, so that the three always say the same.

#include "Trace.h"

#include "TextExport.h"

#include <set>

namespace analysis {

namespace {

// A cell: its text, and whether it is marked (the settled value, the changed entry).
struct TCell {
    std::string text;
    bool marked = false;
    bool infinite = false; // the text is the sign for infinity
    bool settled = false;  // the text is the sign for a value settled before
};

struct TTable {
    std::string caption;
    std::vector<std::vector<TCell>> rows; // the first row heads the columns
};

struct TForm {
    std::string title;
    std::vector<TTable> tables;
    std::vector<std::string> notes; // lines after the tables
};

std::string Number(const TJson& x) {
    if (x.is_number_integer()) return std::to_string(x.get<long long>());
    return x.dump();
}

// How the tables name vertex v: its name when that is not empty and no other vertex has it, else
// "#v".
class TNames {
public:
    explicit TNames(const TJson& trace) {
        std::multiset<std::string> all;
        for (const TJson& v : trace["vertices"]) all.insert(v.get<std::string>());
        int k = 0;
        for (const TJson& v : trace["vertices"]) {
            std::string name = v.get<std::string>();
            for (char& c : name)
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
            ++k;
            const bool plain = !name.empty() && all.count(v.get<std::string>()) == 1 &&
                               name.find_first_not_of(' ') != std::string::npos;
            names_.push_back(plain ? name : "#" + std::to_string(k));
        }
    }
    std::string operator()(const TJson& v) const {
        return v.is_null() ? std::string("-") : names_[static_cast<std::size_t>(v.get<int>() - 1)];
    }
    std::size_t Size() const { return names_.size(); }

private:
    std::vector<std::string> names_;
};

TCell Text(const std::string& text) { return {text}; }
TCell Distance(const TJson& d) { return d.is_null() ? TCell{"\xE2\x88\x9E", false, true} : TCell{Number(d)}; }

std::string List(const TJson& list, const TNames& names, const char* separator = ", ") {
    std::string out;
    for (const TJson& v : list) out += (out.empty() ? "" : separator) + names(v);
    return out;
}

std::string Edge(const TJson& e, const TNames& names, bool directed) {
    return e.is_null() ? std::string("-") : names(e[0]) + (directed ? "->" : "--") + names(e[1]);
}

TForm SearchForm(const TJson& trace, const TNames& names) {
    const std::string& a = trace["algorithm"].get_ref<const std::string&>();
    const TJson& steps = trace["steps"];
    const TJson& result = trace["result"];
    const std::string from = trace["source"].is_null() ? "" : " from " + names(trace["source"]);
    TForm form;
    TTable table;
    if (a == "bfs") {
        form.title = "Breadth-first search" + from;
        table.rows.push_back({Text("Step"), Text("Visited"), Text("Queue")});
        for (const TJson& s : steps)
            table.rows.push_back({Text(Number(s["step"])), Text(names(s["vertex"])), Text(List(s["queue"], names))});
        form.notes.push_back("Order: " + List(result["order"], names));
    } else if (a == "dfs" || a == "bridges") {
        form.title = a == "dfs" ? "Depth-first search" + from : "Bridges and articulation points (low-link)";
        if (a == "dfs")
            table.rows.push_back({Text("Vertex"), Text("Discovery"), Text("Finish"), Text("Parent")});
        else
            table.rows.push_back({Text("Vertex"), Text("Discovery"), Text("Finish"), Text("Low")});
        std::vector<std::vector<TCell>> rows(names.Size());
        for (std::size_t v = 0; v < names.Size(); ++v)
            rows[v] = {Text(names(TJson(v + 1))), Text("-"), Text("-"),
                       Text(a == "dfs" ? names(result["parent"][v]) : std::string("-"))};
        for (const TJson& s : steps) {
            auto& row = rows[s["vertex"].get<std::size_t>() - 1];
            row[s["action"] == "discover" ? 1 : 2] = Text(Number(s["time"]));
            if (s.contains("low")) row[3] = Text(Number(s["low"]));
        }
        for (auto& row : rows) table.rows.push_back(std::move(row));
        if (a == "bridges") {
            std::string bridges;
            for (const TJson& e : result["bridges"]) bridges += (bridges.empty() ? "" : ", ") + Edge(e, names, false);
            form.notes.push_back("Bridges: " + (bridges.empty() ? std::string("none") : bridges));
            const std::string cut = List(result["articulation_points"], names);
            form.notes.push_back("Articulation points: " + (cut.empty() ? std::string("none") : cut));
        }
    } else if (a == "topological") {
        form.title = "Topological order (Kahn)";
        table.rows.push_back({Text("Step"), Text("Output"), Text("Ready")});
        for (const TJson& s : steps)
            table.rows.push_back({Text(Number(s["step"])), Text(names(s["vertex"])), Text(List(s["ready"], names))});
        form.notes.push_back("Order: " + List(result["order"], names));
    } else if (a == "euler") {
        form.title = "Euler trail (Hierholzer)";
        table.rows.push_back({Text("Step"), Text("Edge walked")});
        const bool directed = false;
        for (const TJson& s : steps)
            table.rows.push_back({Text(Number(s["step"])), Text(Edge(s["edge"], names, directed))});
        const std::string kind = result["kind"];
        form.notes.push_back(kind == "none" ? std::string("No Euler trail.")
                                            : "Euler " + kind + ": " + List(result["trail"], names, ", "));
    } else { // the colourings
        form.title = a == "welsh-powell" ? "Welsh-Powell colouring" : "Greedy colouring";
        table.rows.push_back({Text("Order"), Text("Vertex"), Text("Colour")});
        for (const TJson& s : steps)
            table.rows.push_back({Text(Number(s["step"])), Text(names(s["vertex"])), Text(Number(s["colour"]))});
        form.notes.push_back("Colours: " + Number(result["colours"]));
    }
    form.tables.push_back(std::move(table));
    return form;
}

// Rows by vertex, a column per step: Dijkstra's table and Bellman-Ford's.
TTable DistanceTable(const TJson& steps, const TNames& names, bool dijkstra) {
    TTable table;
    table.rows.assign(names.Size() + 1, {});
    table.rows[0].push_back(Text(dijkstra ? "Vertex" : "Vertex / pass"));
    for (std::size_t v = 0; v < names.Size(); ++v) table.rows[v + 1].push_back(Text(names(TJson(v + 1))));
    std::vector<bool> settled(names.Size());
    for (const TJson& s : steps) {
        if (!s.contains("distance")) continue;
        table.rows[0].push_back(Text(dijkstra ? names(s["vertex"]) : Number(s["pass"])));
        const std::size_t now = dijkstra ? s["vertex"].get<std::size_t>() - 1 : names.Size();
        for (std::size_t v = 0; v < names.Size(); ++v) {
            if (settled[v]) {
                table.rows[v + 1].push_back({"\xE2\x80\x94", false, false, true});
                continue;
            }
            TCell cell = Distance(s["distance"][v]);
            cell.marked = v == now;
            table.rows[v + 1].push_back(cell);
        }
        if (dijkstra) settled[now] = true;
    }
    return table;
}

TForm PathForm(const TJson& trace, const TNames& names) {
    const std::string& a = trace["algorithm"].get_ref<const std::string&>();
    const TJson& steps = trace["steps"];
    const TJson& result = trace["result"];
    const std::string from = trace["source"].is_null() ? "" : " from " + names(trace["source"]);
    TForm form;
    if (a == "dijkstra") {
        form.title = "Dijkstra's algorithm" + from;
        form.tables.push_back(DistanceTable(steps, names, true));
        form.tables.back().caption = "Columns: the vertex settled at each step; marked: its final distance.";
    } else if (a == "bellman-ford") {
        form.title = "Bellman-Ford algorithm" + from;
        form.tables.push_back(DistanceTable(steps, names, false));
        form.tables.back().caption = "Columns: the distances after each pass.";
        form.notes.push_back(result["negative_cycle"].get<bool>()
                                 ? "Negative cycle: " + List(result["cycle"], names, " -> ") + " -> " +
                                       names(result["cycle"][0])
                                 : std::string("Negative cycle: none"));
    } else if (a == "floyd-warshall") {
        form.title = "Floyd-Warshall algorithm";
        const TJson* previous = nullptr;
        for (const TJson& s : steps) {
            TTable table;
            table.caption = s["action"] == "start" ? std::string("Direct distances")
                                                   : "Through " + names(s["vertex"]) + " (changed entries marked)";
            table.rows.push_back({Text("")});
            for (std::size_t v = 0; v < names.Size(); ++v) table.rows[0].push_back(Text(names(TJson(v + 1))));
            const TJson& d = s["distance"];
            for (std::size_t i = 0; i < names.Size(); ++i) {
                std::vector<TCell> row{Text(names(TJson(i + 1)))};
                for (std::size_t j = 0; j < names.Size(); ++j) {
                    TCell cell = Distance(d[i][j]);
                    cell.marked = previous && (*previous)[i][j] != d[i][j];
                    row.push_back(cell);
                }
                table.rows.push_back(std::move(row));
            }
            form.tables.push_back(std::move(table));
            previous = &d;
        }
        if (result["negative_cycle"].get<bool>()) form.notes.push_back("Negative cycle: yes");
    } else if (a == "flow") {
        form.title = "Edmonds-Karp maximum flow from " + names(trace["source"]) + " to " + names(trace["target"]);
        TTable table;
        table.rows.push_back({Text("Step"), Text("Augmenting path"), Text("Amount"), Text("Value")});
        for (const TJson& s : steps)
            table.rows.push_back({Text(Number(s["step"])), Text(List(s["path"], names, " -> ")),
                                  Text(Number(s["amount"])), Text(Number(s["value"]))});
        form.tables.push_back(std::move(table));
        form.notes.push_back("Maximum flow: " + Number(result["value"]));
    } else { // prim, kruskal
        const bool prim = a == "prim";
        form.title = prim ? "Prim's algorithm" + from : std::string("Kruskal's algorithm");
        TTable table;
        if (prim)
            table.rows.push_back({Text("Step"), Text("Vertex"), Text("Edge"), Text("Weight")});
        else
            table.rows.push_back({Text("Step"), Text("Edge"), Text("Weight"), Text("Decision")});
        for (const TJson& s : steps) {
            const std::string weight = s["weight"].is_null() ? "-" : Number(s["weight"]);
            if (prim)
                table.rows.push_back({Text(Number(s["step"])), Text(names(s["vertex"])),
                                      Text(Edge(s["edge"], names, false)), Text(weight)});
            else
                table.rows.push_back({Text(Number(s["step"])), Text(Edge(s["edge"], names, false)), Text(weight),
                                      Text(s["action"] == "accept" ? "accepted" : "rejected (cycle)")});
        }
        form.tables.push_back(std::move(table));
        form.notes.push_back("Total weight: " + Number(result["total"]));
    }
    return form;
}

TForm FormOf(const TJson& trace) {
    const TNames names(trace);
    const std::string& a = trace["algorithm"].get_ref<const std::string&>();
    static const std::set<std::string> paths = {"dijkstra", "bellman-ford", "floyd-warshall",
                                                "flow",     "prim",         "kruskal"};
    return paths.count(a) ? PathForm(trace, names) : SearchForm(trace, names);
}

std::size_t Columns(const std::string& text) {
    std::size_t columns = 0;
    for (char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return columns;
}

// The tables' columns beyond the first, a few at a time, so that a wide table fits a page.
constexpr std::size_t TexColumns = 10;

std::string TexCell(const TCell& cell) {
    if (cell.infinite) return "$\\infty$";
    if (cell.settled) return "---";
    const std::string text = TexText(cell.text);
    return cell.marked ? "\\textbf{" + text + "}" : text;
}

} // namespace

std::string TraceText(const TJson& trace) {
    const TForm form = FormOf(trace);
    std::string out = form.title + "\n";
    for (const TTable& table : form.tables) {
        out += "\n";
        if (!table.caption.empty()) out += table.caption + "\n";
        std::vector<std::size_t> width;
        for (const auto& row : table.rows)
            for (std::size_t c = 0; c < row.size(); ++c) {
                if (width.size() <= c) width.push_back(0);
                width[c] = std::max(width[c], Columns(row[c].text) + (row[c].marked ? 1 : 0));
            }
        for (const auto& row : table.rows) {
            std::string line;
            for (std::size_t c = 0; c < row.size(); ++c) {
                const std::string text = row[c].text + (row[c].marked ? "*" : "");
                line += (c ? "  " : "") + text + std::string(width[c] - Columns(text), ' ');
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out += line + "\n";
        }
    }
    if (!form.notes.empty()) out += "\n";
    for (const std::string& note : form.notes) out += note + "\n";
    return out;
}

std::string TraceStepText(const TJson& trace, int frame) {
    const TJson& steps = trace["steps"];
    if (frame <= 0 || steps.empty()) return "before the first step";
    const TJson& s = steps[static_cast<std::size_t>(std::min<std::size_t>(frame, steps.size()) - 1)];
    const TNames names(trace);
    const std::string action = s["action"];
    const auto has = [&](const char* key) { return s.contains(key) && !s[key].is_null(); };
    if (action == "pass") return "pass " + Number(s["pass"]);
    if (action == "check")
        return s["negative_cycle"].get<bool>() ? "check: a negative cycle" : "check: no negative cycle";
    if (action == "start") return "the direct distances";
    if (action == "through") return "paths through " + names(s["vertex"]);
    if (action == "augment")
        return "augment " + List(s["path"], names) + " by " + Number(s["amount"]) + " (flow " + Number(s["value"]) +
               ")";
    if (action == "colour") return "colour " + names(s["vertex"]) + " with " + Number(s["colour"]);
    std::string text = action + " ";
    if (has("edge"))
        text += Edge(s["edge"], names, false);
    else if (has("vertex"))
        text += names(s["vertex"]);
    if (action == "finalise") text += " at " + Number(s["distance"][s["vertex"].get<std::size_t>() - 1]);
    if (has("time")) text += " (time " + Number(s["time"]) + ")";
    if (has("weight") && has("edge")) text += " (weight " + Number(s["weight"]) + ")";
    return text;
}

std::string TraceTex(const TJson& trace) {
    const TForm form = FormOf(trace);
    std::string out = "% Nodeloom trace: " + trace["algorithm"].get<std::string>() +
                      ". Needs \\usepackage{booktabs}; marked entries are set in bold.\n";
    out += "\\par\\medskip\\noindent\\textbf{" + TexText(form.title) + "}\\par\\smallskip\n";
    for (const TTable& table : form.tables) {
        if (!table.caption.empty()) out += "\\noindent " + TexText(table.caption) + "\\par\\smallskip\n";
        const std::size_t columns = table.rows.empty() ? 1 : table.rows[0].size();
        for (std::size_t from = 1; from < std::max<std::size_t>(columns, 2); from += TexColumns) {
            const std::size_t to = std::min(columns, from + TexColumns);
            out += "\\noindent\\begin{tabular}{l" + std::string(to > from ? to - from : 0, 'l') + "}\n\\toprule\n";
            for (std::size_t r = 0; r < table.rows.size(); ++r) {
                const auto& row = table.rows[r];
                out += TexCell(row[0]);
                for (std::size_t c = from; c < to; ++c) out += " & " + TexCell(row[c]);
                out += " \\\\\n";
                if (r == 0) out += "\\midrule\n";
            }
            out += "\\bottomrule\n\\end{tabular}\\par\\smallskip\n";
        }
    }
    for (const std::string& note : form.notes) out += "\\noindent " + TexText(note) + "\\par\n";
    return out;
}

} // namespace analysis
