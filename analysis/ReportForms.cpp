// The report as text for a terminal and as LaTeX for an exercise sheet, both read from the JSON
// form, so that the three always say the same.

#include "Plain.h"

#include "TextExport.h"

#include <algorithm>
#include <set>

namespace analysis {

namespace {

// How the forms name vertex v: its name when that is not empty and no other vertex has it, else
// "#v".
class TNames {
public:
    TNames(const Tgraph& g, const TJson& report) {
        std::multiset<std::string> all;
        for (const TJson& v : report["vertices"]) all.insert(v["name"].get<std::string>());
        for (const TJson& v : report["vertices"]) {
            std::string name = v["name"].get<std::string>();
            for (char& c : name)
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
            const bool plain = !name.empty() && all.count(v["name"].get<std::string>()) == 1 &&
                               name.find_first_not_of(' ') != std::string::npos;
            names_.push_back(plain ? name : "#" + std::to_string(v["number"].get<int>()));
        }
        (void)g;
    }
    const std::string& operator()(const TJson& v) const { return names_[static_cast<std::size_t>(v.get<int>() - 1)]; }
    const std::string& At(std::size_t i) const { return names_[i]; }

private:
    std::vector<std::string> names_;
};

std::string Number(const TJson& x) {
    if (x.is_null()) return "-";
    if (x.is_number_integer()) return std::to_string(x.get<long long>());
    return x.dump();
}

std::string Join(const TJson& list, const std::string& separator, const TNames& names) {
    std::string out;
    for (const TJson& v : list) out += (out.empty() ? "" : separator) + names(v);
    return out;
}

std::string Groups(const TJson& groups, const TNames& names) {
    std::string out;
    for (const TJson& g : groups) out += (out.empty() ? "{" : ", {") + Join(g, ", ", names) + "}";
    return out.empty() ? "none" : out;
}

std::string Edges(const TJson& pairs, const TNames& names, const char* link) {
    std::string out;
    for (const TJson& e : pairs) out += (out.empty() ? "" : ", ") + names(e[0]) + link + names(e[1]);
    return out.empty() ? "none" : out;
}

std::string Padded(const std::string& text, std::size_t width, bool right) {
    // Display width: UTF-8 continuation bytes take no column.
    std::size_t columns = 0;
    for (char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    const std::string pad(width > columns ? width - columns : 0, ' ');
    return right ? pad + text : text + pad;
}

std::size_t Columns(const std::string& text) {
    std::size_t columns = 0;
    for (char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return columns;
}

// A square matrix with the vertex names along both sides.
std::string MatrixText(const TJson& matrix, const TNames& names, std::size_t n) {
    std::vector<std::vector<std::string>> cells(n, std::vector<std::string>(n));
    std::size_t width = 1, side = 1;
    for (std::size_t i = 0; i < n; ++i) {
        side = std::max(side, Columns(names.At(i)));
        width = std::max(width, Columns(names.At(i)));
        for (std::size_t j = 0; j < n; ++j) {
            cells[i][j] = Number(matrix[i][j]);
            width = std::max(width, cells[i][j].size());
        }
    }
    std::string out = "    " + std::string(side, ' ');
    for (std::size_t j = 0; j < n; ++j) out += " " + Padded(names.At(j), width, true);
    out += "\n";
    for (std::size_t i = 0; i < n; ++i) {
        out += "    " + Padded(names.At(i), side, false);
        for (std::size_t j = 0; j < n; ++j) out += " " + Padded(cells[i][j], width, true);
        out += "\n";
    }
    return out;
}

// "1 edge", "2 edges".
std::string Count(const TJson& n, const char* one, const char* more) {
    return Number(n) + " " + (n.get<long long>() == 1 ? one : more);
}

std::string YesNo(const TJson& b) { return b.get<bool>() ? "yes" : "no"; }

} // namespace

namespace {

// The vertices with their degrees, the degree sequence, the isolated vertices and the components.
std::string VerticesText(const TJson& r, const TNames& names, std::size_t n, bool directed) {
    std::string out;
    out += "Vertices:\n";
    std::size_t nameWidth = 4;
    for (std::size_t i = 0; i < n; ++i) nameWidth = std::max(nameWidth, Columns(names.At(i)));
    out += "    " + Padded("#", 3, true) + "  " + Padded("name", nameWidth, false) + "  degree" +
           (directed ? "  in  out" : "") + "\n";
    for (const TJson& v : r["vertices"]) {
        out += "    " + Padded(Number(v["number"]), 3, true) + "  " + Padded(names(v["number"]), nameWidth, false) +
               "  " + Padded(Number(v["degree"]), 6, true);
        if (directed)
            out += "  " + Padded(Number(v["in_degree"]), 2, true) + "  " + Padded(Number(v["out_degree"]), 3, true);
        out += "\n";
    }
    std::string sequence;
    for (const TJson& d : r["degree_sequence"]) sequence += (sequence.empty() ? "" : ", ") + Number(d);
    out += "Degree sequence: " + (sequence.empty() ? std::string("empty") : sequence) + "\n";
    out +=
        "Isolated vertices: " + (r["isolated"].empty() ? std::string("none") : Join(r["isolated"], ", ", names)) + "\n";
    out += std::string(directed ? "Weak components: " : "Components: ") + Groups(r["components"], names) + "\n";
    if (directed) out += "Strong components: " + Groups(r["strong_components"], names) + "\n";

    return out;
}

// Bipartiteness, acyclicity, the Euler trail and planarity.
std::string StructureText(const TJson& r, const TNames& names, bool directed) {
    const char* link = directed ? "->" : "-";
    std::string out;
    const TJson& bip = r["bipartite"];
    out += "Bipartite: " + YesNo(bip["value"]);
    if (bip["value"].get<bool>())
        out +=
            "; sides {" + Join(bip["sides"][0], ", ", names) + "} and {" + Join(bip["sides"][1], ", ", names) + "}\n";
    else
        out += "; odd cycle " + Join(bip["odd_cycle"], " - ", names) + "\n";

    const TJson& acyclic = r["acyclic"];
    out += std::string(directed ? "Acyclic: " : "Forest: ") + YesNo(acyclic["value"]);
    if (acyclic.contains("order")) out += "; topological order " + Join(acyclic["order"], ", ", names);
    if (acyclic.contains("cycle")) out += "; cycle " + Join(acyclic["cycle"], std::string(" ") + link + " ", names);
    if (acyclic.contains("tree") && acyclic["tree"].get<bool>()) out += "; a tree";
    out += "\n";

    const TJson& euler = r["euler"];
    out += "Euler: " + euler["kind"].get<std::string>();
    if (euler.contains("trail")) out += " " + Join(euler["trail"], std::string(" ") + link + " ", names);
    out += "\n";
    out += "Planar: " + YesNo(r["planar"]["value"]);
    if (r["planar"].contains("kuratowski"))
        out += "; Kuratowski subgraph " + Edges(r["planar"]["kuratowski"], names, "-");
    out += "\n";

    return out;
}

// Distances, eccentricities, girth, the spanning forest, the colouring, the matching and the
// adjacency matrix.
std::string DistancesText(const TJson& r, const TNames& names, std::size_t n) {
    std::string out;
    const TJson& d = r["distances"];
    out += std::string("Distances (") + (d["by"] == "weights" ? "by the weights" : "hop counts") + "):";
    if (d["negative_cycle"].get<bool>()) {
        out += " none, there is a negative cycle\n";
    } else {
        out += n == 0 ? " none\n" : "\n" + MatrixText(d["matrix"], names, n);
        std::string ecc;
        for (std::size_t i = 0; i < n; ++i) ecc += (i ? ", " : "") + names.At(i) + " " + Number(d["eccentricity"][i]);
        out += "Eccentricities: " + (ecc.empty() ? std::string("none") : ecc) + "\n";
        out += "Diameter: " + Number(d["diameter"]) + ", radius " + Number(d["radius"]) + ", centre {" +
               Join(d["centre"], ", ", names) + "}\n";
    }
    out += "Girth: " + Number(d["girth"]) + "\n";
    if (r.contains("mst"))
        out += "Minimum spanning forest: total " + Number(r["mst"]["total"]) + "; " +
               Edges(r["mst"]["edges"], names, "-") + "\n";
    const TJson& c = r["colouring"];
    out += "Colouring: " + Count(c["colours"], "colour", "colours") +
           (c["exact"].get<bool>() ? " (the fewest)" : " (not proven the fewest)");
    for (std::size_t i = 0; i < n; ++i) out += (i ? ", " : "; ") + names.At(i) + " " + Number(c["colour_of"][i]);
    out += "\n";
    out += "Maximum matching: " + Count(r["matching"]["size"], "edge", "edges") + "; " +
           Edges(r["matching"]["edges"], names, "-") + "\n";
    out += "Adjacency matrix:" + std::string(n == 0 ? " empty\n" : "\n" + MatrixText(r["adjacency"], names, n));

    return out;
}

// The named results the command line added.
std::string ResultsText(const TJson& r, const TNames& names, bool directed) {
    const char* link = directed ? "->" : "-";
    std::string out;
    if (r.contains("path")) {
        const TJson& path = r["path"];
        out += "Shortest path from " + names(path["from"]) + " to " + names(path["to"]) + ": ";
        if (path["negative_cycle"].get<bool>())
            out += "none, there is a negative cycle\n";
        else if (path["length"].is_null())
            out += "none\n";
        else
            out += Join(path["vertices"], std::string(" ") + link + " ", names) + "; length " + Number(path["length"]) +
                   "\n";
    }
    for (const char* word : {"bfs", "dfs"})
        if (r.contains(word)) {
            const TJson& search = r[word];
            out += std::string(word[0] == 'b' ? "Breadth" : "Depth") + "-first search from " + names(search["start"]) +
                   ": order " + Join(search["order"], ", ", names) + "; tree " + Edges(search["tree"], names, link) +
                   "\n";
        }
    if (r.contains("flow")) {
        const TJson& flow = r["flow"];
        std::string flows;
        for (const TJson& e : flow["edges"])
            flows += (flows.empty() ? "" : ", ") + names(e[0]) + "->" + names(e[1]) + " " + Number(e[2]);
        out += "Maximum flow from " + names(flow["source"]) + " to " + names(flow["sink"]) + ": " +
               Number(flow["value"]) + "; flows " + (flows.empty() ? std::string("none") : flows) + "; minimum cut " +
               Edges(flow["cut"], names, "->") + "\n";
    }
    return out;
}

} // namespace

std::string ReportText(const TJson& r, const Tgraph& g) {
    const TNames names(g, r);
    const std::size_t n = r["vertex_count"].get<std::size_t>();
    const bool directed = r["directed"].get<bool>();
    std::string out;
    out += std::string("Graph: ") + (directed ? "directed" : "undirected") + ", " +
           (r["weighted"].get<bool>() ? "weighted" : "unweighted") + "; " +
           Count(r["vertex_count"], "vertex", "vertices") + ", " + Count(r["edge_count"], "edge", "edges") + ", " +
           Count(r["loop_count"], "loop", "loops") + "\n";
    return out + VerticesText(r, names, n, directed) + StructureText(r, names, directed) + DistancesText(r, names, n) +
           ResultsText(r, names, directed);
}

namespace {

std::string Tex(const std::string& utf8) { return TexText(utf8); }

std::string TexMatrix(const char* name, const TJson& matrix, std::size_t n) {
    std::string out = std::string("\\[ ") + name + " = \\begin{bmatrix}\n";
    for (std::size_t i = 0; i < n; ++i) {
        out += "  ";
        for (std::size_t j = 0; j < n; ++j)
            out += (j ? " & " : "") + (matrix[i][j].is_null() ? std::string("\\infty") : Number(matrix[i][j]));
        out += i + 1 < n ? " \\\\\n" : "\n";
    }
    return out + "\\end{bmatrix} \\]\n";
}

} // namespace

std::string ReportTex(const TJson& r, const Tgraph& g) {
    const TNames names(g, r);
    const std::size_t n = r["vertex_count"].get<std::size_t>();
    const bool directed = r["directed"].get<bool>();
    std::string out = "% Nodeloom report. Needs \\usepackage{amsmath} for the matrices.\n";
    if (n > 10) out += "\\setcounter{MaxMatrixCols}{" + std::to_string(n) + "}\n";
    out += std::string("\\begin{tabular}{rl") + (directed ? "rrr" : "r") + "}\n\\hline\nVertex & Name & Degree" +
           (directed ? " & In & Out" : "") + " \\\\\n\\hline\n";
    for (const TJson& v : r["vertices"]) {
        out += Number(v["number"]) + " & " + Tex(names(v["number"])) + " & " + Number(v["degree"]);
        if (directed) out += " & " + Number(v["in_degree"]) + " & " + Number(v["out_degree"]);
        out += " \\\\\n";
    }
    out += "\\hline\n\\end{tabular}\n\n";

    // The text report's lines after the vertex table, as a table of two columns.
    const std::string text = ReportText(r, g);
    out += "\\begin{tabular}{lp{0.7\\linewidth}}\n\\hline\n";
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.rfind("    ", 0) == 0) continue; // rows of the tables and matrices, set below
        const std::size_t colon = line.find(": ");
        const std::string key = line.substr(0, colon == std::string::npos ? line.size() : colon);
        if (key == "Vertices:") continue;
        if (key.rfind("Distances", 0) == 0 || key.rfind("Adjacency", 0) == 0) continue;
        if (colon == std::string::npos) continue;
        out += Tex(key) + " & " + Tex(line.substr(colon + 2)) + " \\\\\n";
    }
    out += "\\hline\n\\end{tabular}\n\n";
    const TJson& d = r["distances"];
    if (n > 0 && !d["matrix"].is_null())
        out += "% Distances (" + d["by"].get<std::string>() + ").\n" + TexMatrix("D", d["matrix"], n);
    if (n > 0) out += "% The adjacency matrix.\n" + TexMatrix("A", r["adjacency"], n);
    return out;
}

} // namespace analysis
