// The graph record's operations: vertices, edges, colours and the shadow copy.

#include "Graph_obj.h"

#include "Geometry.h"
#include "internal/EdgeIndex.h"

#include <algorithm>
#include <utility>

using geometry::WrapAdd;

EInOutError::EInOutError(int code, const std::string& text) : std::runtime_error(text), ErrorCode(code) {}

namespace {

bool InTable(const Tgraph& g, int v) { return v >= 1 && v <= g.vertexCount; }

// Takes the first node of list `source` whose target is `target` out of the list and returns it,
// or null. Its partner's twin link is cleared.
std::unique_ptr<Tedge> Unlink(Tgraph& g, int source, int target) {
    std::unique_ptr<Tedge>* link = &g.edgeLists[source];
    while (*link && (*link)->target != target) link = &(*link)->next;
    if (!*link) return nullptr;
    std::unique_ptr<Tedge> node = std::move(*link);
    *link = std::move(node->next);
    if (node->twin && node->twin != node.get()) node->twin->twin = nullptr;
    node->twin = nullptr;
    return node;
}

// The colour an edge text names once its spaces are gone: a table name, exact and lower case;
// anything else is the base colour.
TColor ColorOfText(const Tgraph& g, std::string_view text) {
    char name[8];
    std::size_t length = 0;
    for (char c : text) {
        if (c == ' ') continue;
        if (length == sizeof name) return g.baseColor; // longer than every table name
        name[length++] = c;
    }
    const std::string_view squeezed(name, length);
    for (const TColorEntry& e : ColorTable)
        if (squeezed == e.name) return e.value;
    return g.baseColor;
}

} // namespace

void InitGraph(Tgraph& g) {
    for (auto& list : g.edgeLists) list.reset();
    g.vertexCount = 0;
    g.edgeCount = 0;
    g.directed = false;
    g.weighted = false;
    g.created = false;
    g.draggingVertex = false;
    g.edgeStart = 0;
    g.edgeEnd = 0;
    g.baseColor = colors::White;
}

void ClearGraph(Tgraph& g) {
    for (int i = 1; i <= g.vertexCount && i <= MaxVertices; ++i) g.edgeLists[i].reset();
    g.vertexCount = 0;
    g.edgeCount = 0;
    g.fileName.clear();
}

bool AddEdge(Tgraph& g, int source, int target, const std::string& text) {
    return InsertEdge(g, source, target, text, nullptr);
}

bool InsertEdge(Tgraph& g, int source, int target, std::string_view text, TEdgeIndex* index) {
    if (source < 1 || source > MaxVertices || target < 1 || target > MaxVertices) return false;
    if (index) {
        if (index->at[source][target]) return false;
    } else {
        for (const Tedge* e = g.edgeLists[source].get(); e; e = e->next.get())
            if (e->target == target) return false;
    }

    auto node = std::make_unique<Tedge>();
    node->source = source;
    node->target = target;

    // Weighted: "/*", the weight, then the first "*/ " of the text with one space appended;
    // everything up to that space is taken off before the colour name is read.
    std::string_view rest = text;
    if (g.weighted) {
        const std::size_t open = text.find("/*");
        std::size_t close = text.find("*/ ");
        if (close == std::string_view::npos && text.size() >= 2 && text.substr(text.size() - 2) == "*/")
            close = text.size() - 2; // completed by the appended space
        if (open != std::string_view::npos && close != std::string_view::npos) {
            if (close > open + 2) node->weight = std::string(text.substr(open + 2, close - open - 2));
            rest = close + 3 < text.size() ? text.substr(close + 3) : std::string_view();
        }
    }
    node->color = ColorOfText(g, rest);

    Tedge* added = node.get();
    node->next = std::move(g.edgeLists[source]);
    g.edgeLists[source] = std::move(node);

    Tedge* reverse = nullptr;
    if (index) {
        index->at[source][target] = added;
        reverse = index->at[target][source];
    } else {
        for (Tedge* e = g.edgeLists[target].get(); e; e = e->next.get())
            if (e->target == source) {
                reverse = e;
                break;
            }
    }
    if (reverse) {
        added->twin = reverse;
        reverse->twin = added;
    }
    return true;
}

bool ConnectVertices(Tgraph& g, int source, int target, const std::string& text) {
    const bool added = AddEdge(g, source, target, text);
    if (!g.directed) AddEdge(g, target, source, text);
    if (added && g.edgeCount < MaxEdges) ++g.edgeCount; // a loaded count may already stand at the most
    return added;
}

void DeleteEdge(Tgraph& g, int source, int target) {
    if (source < 1 || source > MaxVertices || target < 1 || target > MaxVertices) return;
    if (!Unlink(g, source, target)) return;
    if (!g.directed) Unlink(g, target, source);
    // A file's counts line may say fewer edges than it lists: the count stays one a file can hold.
    if (g.edgeCount > 0) --g.edgeCount;
}

void ColorName(const Tgraph&, TColor color, std::string& name) {
    for (const TColorEntry& e : ColorTable) {
        if (e.value == color) {
            name = e.name;
            return;
        }
    }
}

void AddVertex(Tgraph& g, int x, int y) {
    if (g.vertexCount >= MaxVertices) return; // the table is full: nothing is added
    const int n = ++g.vertexCount;
    Tvertex& v = g.vertices[n];
    v.name = std::to_string(n);
    v.radius = geometry::VertexRadius;
    v.x = x;
    v.y = y;
}

void DeleteVertex(Tgraph& g, int v) {
    if (!InTable(g, v)) return;
    const int count = g.vertexCount;

    for (int i = 1; i <= count; ++i) {
        Tedge* e = g.edgeLists[i].get();
        while (e) {
            // Only the node itself leaves list i (its other half lives in another list),
            // so the successor taken first stays valid.
            Tedge* after = e->next.get();
            if (e->source == v || e->target == v) DeleteEdge(g, e->source, e->target);
            e = after;
        }
    }
    for (int i = 1; i <= count; ++i) {
        for (Tedge* e = g.edgeLists[i].get(); e; e = e->next.get()) {
            if (e->target > v) --e->target;
            if (e->source > v) --e->source;
        }
    }
    for (int j = v + 1; j <= count; ++j) {
        g.edgeLists[j - 1] = std::move(g.edgeLists[j]);
        g.vertices[j - 1] = g.vertices[j];
    }
    g.edgeLists[count].reset();
    g.vertexCount = count - 1;
}

void MoveVertex(Tgraph& g, int v, int dx, int dy) {
    if (!InTable(g, v)) return;
    g.vertices[v].x = WrapAdd(g.vertices[v].x, dx);
    g.vertices[v].y = WrapAdd(g.vertices[v].y, dy);
}

void MoveAllVertices(Tgraph& g, int dx, int dy) {
    for (int v = 1; v <= g.vertexCount; ++v) {
        g.vertices[v].x = WrapAdd(g.vertices[v].x, dx);
        g.vertices[v].y = WrapAdd(g.vertices[v].y, dy);
    }
}

void RecolorHoveredEdges(Tgraph& g, TColor color) {
    for (int i = 1; i <= g.vertexCount; ++i)
        for (Tedge* e = g.edgeLists[i].get(); e; e = e->next.get())
            if (e->hovered) e->color = color;
}

void DeleteHoveredEdges(Tgraph& g) {
    for (int i = 1; i <= g.vertexCount; ++i) {
        Tedge* e = g.edgeLists[i].get();
        while (e) {
            Tedge* after = e->next.get();
            if (e->hovered) DeleteEdge(g, e->source, e->target);
            e = after;
        }
    }
}

// Rebuilds the shadow as a copy for erasing: each list reversed, weights kept exactly, colours the
// base colour, nothing hovered, twins paired where the live graph pairs them.
void SyncShadow(const Tgraph& live, Tgraph& shadow) {
    shadow.vertexCount = live.vertexCount;
    shadow.edgeCount = live.edgeCount;
    shadow.directed = live.directed;
    shadow.weighted = live.weighted;
    shadow.created = live.created;
    shadow.skipNextPress = live.skipNextPress;
    shadow.draggingVertex = live.draggingVertex;
    shadow.draggingAll = live.draggingAll;
    shadow.edgeStart = live.edgeStart;
    shadow.edgeEnd = live.edgeEnd;
    shadow.dragVertex = live.dragVertex;
    shadow.baseColor = live.baseColor;
    shadow.currentColor = live.currentColor;
    shadow.fileName = live.fileName;

    // The shadow's nodes by their ends, for pairing twins once every list is built. On the heap:
    // it is too large for a comfortable stack frame, and each call has its own.
    const auto index = std::make_unique<TEdgeIndex>();
    auto& at = index->at;

    // Each list is written over the shadow's own nodes, which a drag step leaves as many as they
    // were: nodes are made only for a list that grew, and a list that shrank loses its tail.
    const int count = geometry::HeldVertices(live);
    shadow.edgeLists[0].reset();
    for (int i = count + 1; i <= MaxVertices; ++i) shadow.edgeLists[i].reset();
    for (int i = 1; i <= count; ++i) {
        shadow.vertices[i] = live.vertices[i];
        const Tedge* copied[MaxVertices]; // the first node to each target, newest first
        bool seen[MaxVertices + 1] = {};
        int n = 0;
        for (const Tedge* e = live.edgeLists[i].get(); e; e = e->next.get()) {
            if (e->target < 1 || e->target > MaxVertices || seen[e->target]) continue;
            seen[e->target] = true;
            copied[n++] = e;
        }
        std::unique_ptr<Tedge>* link = &shadow.edgeLists[i];
        for (int k = n - 1; k >= 0; --k) { // reversed
            if (!*link) *link = std::make_unique<Tedge>();
            Tedge& node = **link;
            const Tedge& e = *copied[k];
            node.source = e.source;
            node.target = e.target;
            node.color = live.baseColor;
            node.hovered = false;
            node.twin = nullptr;
            if (live.weighted)
                node.weight = e.weight;
            else
                node.weight.clear();
            at[i][e.target] = &node;
            link = &node.next;
        }
        link->reset();
    }
    for (int i = 1; i <= count; ++i)
        for (Tedge* e = shadow.edgeLists[i].get(); e; e = e->next.get()) e->twin = at[e->target][i];
}

bool StorableText(const std::string& text) {
    return text.find("*/") == std::string::npos && text.find_first_of("\r\n") == std::string::npos;
}

bool RenameVertex(Tgraph& g, int v, const std::string& name) {
    if (v < 1 || v > g.vertexCount || !StorableText(name)) return false;
    g.vertices[v].name = name;
    return true;
}

bool SetEdgeWeight(Tedge& edge, const std::string& weight) {
    if (!StorableText(weight)) return false;
    edge.weight = weight;
    return true;
}

std::string StructureKey(const Tgraph& g) {
    std::string key{g.created ? 'c' : 'n', g.directed ? 'd' : 'u', g.weighted ? 'w' : 'p'};
    key += std::to_string(g.baseColor) + ' ' + std::to_string(g.vertexCount) + '\n';
    for (int v = 1; v <= std::clamp(g.vertexCount, 0, MaxVertices); ++v) {
        key += g.vertices[v].name;
        key += '\n';
        for (const Tedge* e = g.edgeLists[v].get(); e; e = e->next.get())
            key += std::to_string(e->target) + ' ' + std::to_string(e->color) + ' ' + e->weight + '\n';
        key += '\n';
    }
    return key;
}
