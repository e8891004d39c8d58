// Undo steps as snapshots of the graph's content, and the bounded history that keeps them.

#include "UndoHistory.h"

#include "Geometry.h"
#include "internal/EdgeIndex.h"

#include <memory>
#include <string_view>
#include <utility>

namespace {

std::uint32_t End(const std::string& texts) { return static_cast<std::uint32_t>(texts.size()); }

bool ValidEnd(std::int32_t v) { return v >= 1 && v <= MaxVertices; }

} // namespace

TGraphSnapshot::TGraphSnapshot(const Tgraph& g)
    : fileName(g.fileName), edgeCount(g.edgeCount), baseColor(g.baseColor), directed(g.directed), weighted(g.weighted),
      created(g.created) {
    // Sized first, so that a snapshot holds no slack.
    const int count = geometry::HeldVertices(g);
    std::size_t nodeTotal = 0, textTotal = 0;
    for (int v = 1; v <= count; ++v) {
        textTotal += g.vertices[v].name.size();
        for (const Tedge* e = g.edgeLists[v].get(); e; e = e->next.get()) {
            ++nodeTotal;
            textTotal += e->weight.size();
        }
    }
    vertices.reserve(static_cast<std::size_t>(count));
    nodes.reserve(nodeTotal);
    texts.reserve(textTotal);

    for (int v = 1; v <= count; ++v) {
        const Tvertex& vertex = g.vertices[v];
        texts += vertex.name;
        const std::uint32_t nameEnd = End(texts);
        for (const Tedge* e = g.edgeLists[v].get(); e; e = e->next.get()) {
            texts += e->weight;
            nodes.push_back({e->target, e->color, End(texts)});
        }
        vertices.push_back({vertex.x, vertex.y, vertex.radius, nameEnd, static_cast<std::uint32_t>(nodes.size())});
    }
}

bool TGraphSnapshot::Matches(const Tgraph& g) const {
    if (g.vertexCount != static_cast<std::int32_t>(vertices.size()) || g.edgeCount != edgeCount ||
        g.baseColor != baseColor || g.directed != directed || g.weighted != weighted || g.created != created ||
        g.fileName != fileName)
        return false;
    const std::string_view all = texts;
    std::uint32_t text = 0, node = 0;
    for (int v = 1; v <= g.vertexCount; ++v) {
        const TVertexRecord& r = vertices[static_cast<std::size_t>(v - 1)];
        const Tvertex& vertex = g.vertices[v];
        if (vertex.x != r.x || vertex.y != r.y || vertex.radius != r.radius ||
            vertex.name != all.substr(text, r.nameEnd - text))
            return false;
        text = r.nameEnd;
        for (const Tedge* e = g.edgeLists[v].get(); e; e = e->next.get(), ++node) {
            if (node == r.nodeEnd) return false;
            const TNodeRecord& n = nodes[node];
            if (e->source != v || e->target != n.target || e->color != n.color ||
                e->weight != all.substr(text, n.weightEnd - text))
                return false;
            text = n.weightEnd;
        }
        if (node != r.nodeEnd) return false;
    }
    return true;
}

void TGraphSnapshot::RestoreTo(Tgraph& g, bool withFileName) const {
    for (auto& list : g.edgeLists) list.reset();
    const auto index = std::make_unique<TEdgeIndex>(); // the new nodes by their ends, for the twins
    const int count = static_cast<int>(vertices.size());
    std::uint32_t text = 0, node = 0;
    for (int v = 1; v <= count; ++v) {
        const TVertexRecord& r = vertices[static_cast<std::size_t>(v - 1)];
        Tvertex& vertex = g.vertices[v];
        vertex.name.assign(texts, text, r.nameEnd - text);
        text = r.nameEnd;
        vertex.x = r.x;
        vertex.y = r.y;
        vertex.radius = r.radius;
        std::unique_ptr<Tedge>* link = &g.edgeLists[v];
        for (; node < r.nodeEnd; ++node) {
            const TNodeRecord& n = nodes[node];
            auto e = std::make_unique<Tedge>();
            e->source = v;
            e->target = n.target;
            e->color = n.color;
            e->weight.assign(texts, text, n.weightEnd - text);
            text = n.weightEnd;
            if (ValidEnd(n.target)) index->at[v][n.target] = e.get();
            *link = std::move(e);
            link = &(*link)->next;
        }
    }
    for (int v = 1; v <= count; ++v)
        for (Tedge* e = g.edgeLists[v].get(); e; e = e->next.get())
            e->twin = ValidEnd(e->target) ? index->at[e->target][v] : nullptr;

    g.vertexCount = count;
    g.edgeCount = edgeCount;
    g.baseColor = baseColor;
    g.directed = directed;
    g.weighted = weighted;
    g.created = created;
    if (withFileName) g.fileName = fileName;

    // The editing state stays, but never names a vertex that is gone.
    if (g.edgeStart > count) g.edgeStart = 0;
    if (g.edgeEnd > count) g.edgeEnd = 0;
    if (g.dragVertex > count) {
        g.dragVertex = 0;
        g.draggingVertex = false;
    }
}

std::size_t TGraphSnapshot::Bytes() const {
    return sizeof *this + vertices.capacity() * sizeof(TVertexRecord) + nodes.capacity() * sizeof(TNodeRecord) +
           texts.capacity() + fileName.capacity();
}

TUndoHistory::TUndoHistory(std::size_t stepLimit, std::size_t byteLimit) : maxSteps(stepLimit), maxBytes(byteLimit) {}

void TUndoHistory::BeginChange(const Tgraph& g, TChangeKind kind) {
    EndChange(g);
    open.emplace(TStep{TGraphSnapshot(g), kind});
}

void TUndoHistory::EndChange(const Tgraph& g) {
    if (!open) return;
    TStep started = std::move(*open);
    open.reset();
    if (started.content.Matches(g)) return;
    for (const TStep& s : redo) bytes -= s.content.Bytes();
    redo.clear();
    Push(undo, std::move(started));
    Trim();
}

bool TUndoHistory::Undo(Tgraph& g) { return Step(g, undo, redo); }

bool TUndoHistory::Redo(Tgraph& g) { return Step(g, redo, undo); }

bool TUndoHistory::Step(Tgraph& g, std::deque<TStep>& from, std::deque<TStep>& to) {
    const std::optional<TChangeKind> reopen = open ? std::optional<TChangeKind>(open->kind) : std::nullopt;
    EndChange(g);
    const bool stepped = !from.empty();
    if (stepped) {
        TStep step = std::move(from.back());
        from.pop_back();
        bytes -= step.content.Bytes();
        Push(to, TStep{TGraphSnapshot(g), step.kind});
        step.content.RestoreTo(g, step.kind == TChangeKind::NewGraph);
        Trim();
    }
    if (reopen) BeginChange(g, *reopen);
    return stepped;
}

void TUndoHistory::Push(std::deque<TStep>& to, TStep step) {
    bytes += step.content.Bytes();
    to.push_back(std::move(step));
}

// The oldest undo step first; once none is left, the redo step furthest ahead.
void TUndoHistory::Trim() {
    while ((undo.size() + redo.size() > maxSteps || bytes > maxBytes) && !(undo.empty() && redo.empty())) {
        std::deque<TStep>& from = undo.empty() ? redo : undo;
        bytes -= from.front().content.Bytes();
        from.pop_front();
    }
}
