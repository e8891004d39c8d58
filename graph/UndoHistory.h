#pragma once
// Undo and redo of the graph's content. A step is the content before one change (a click, a
// whole drag, a rename, a new graph, a file opened); the editing state between events (drag
// flags, the add-edge tool's chosen vertices, currentColor, skipNextPress, hovered) is not part
// of it and is left alone.

#include "Graph_obj.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// The graph's content as a compact value: kind, base colour, created, file name, edgeCount, the
// vertices 1..vertexCount and every edge node in list order with its colour and weight.
class TGraphSnapshot {
public:
    explicit TGraphSnapshot(const Tgraph& g);

    // Whether g holds this content.
    bool Matches(const Tgraph& g) const;
    // Makes g's content this one, the file name only when withFileName is set; its nodes come
    // back unhovered. Editing state is kept, except that edgeStart, edgeEnd and dragVertex
    // naming a vertex beyond the restored vertexCount become 0 (and draggingVertex false).
    void RestoreTo(Tgraph& g, bool withFileName) const;
    // The memory it holds, in bytes.
    std::size_t Bytes() const;

private:
    struct TVertexRecord {
        std::int32_t x, y, radius;
        std::uint32_t nameEnd; // end of the name in texts
        std::uint32_t nodeEnd; // end of this vertex's list in nodes
    };
    struct TNodeRecord {
        std::int32_t target;
        TColor color;
        std::uint32_t weightEnd; // end of the weight in texts
    };

    std::vector<TVertexRecord> vertices; // vertex 1 first
    std::vector<TNodeRecord> nodes;      // list 1 from its head, then list 2, ...
    std::string texts;                   // the names and weights, back to back
    std::string fileName;
    std::int32_t edgeCount;
    TColor baseColor;
    bool directed, weighted, created;
};

// Ordinary edits keep the file name the graph has when they are undone or redone (a save in
// between is not undone); a new graph or a file opened brings back its own.
enum class TChangeKind { Edit, NewGraph };

class TUndoHistory {
public:
    static constexpr std::size_t DefaultMaxSteps = 1000;
    static constexpr std::size_t DefaultMaxBytes = std::size_t(64) << 20;

    // Undo and redo steps together stay within both bounds; the oldest undo steps go first.
    explicit TUndoHistory(std::size_t maxSteps = DefaultMaxSteps, std::size_t maxBytes = DefaultMaxBytes);

    // A change of g starts; g's content now is its start. A change still open is ended first.
    void BeginChange(const Tgraph& g, TChangeKind kind = TChangeKind::Edit);
    // The open change ends: when g's content differs from its start, the start becomes an undo
    // step and the redo steps are dropped. With no change open, nothing happens.
    void EndChange(const Tgraph& g);

    // Ends an open change, then brings back the content before the last step (after the last
    // undone one, for Redo), keeping g's content as the step to redo (to undo); a change that
    // was open begins again from there. False, and g untouched, when there is nothing to undo
    // (redo).
    bool Undo(Tgraph& g);
    bool Redo(Tgraph& g);

    std::size_t UndoSteps() const { return undo.size(); }
    std::size_t RedoSteps() const { return redo.size(); }
    std::size_t Bytes() const { return bytes; }

private:
    struct TStep {
        TGraphSnapshot content;
        TChangeKind kind;
    };

    bool Step(Tgraph& g, std::deque<TStep>& from, std::deque<TStep>& to);
    void Push(std::deque<TStep>& to, TStep step);
    void Trim();

    std::size_t maxSteps, maxBytes, bytes = 0;
    std::deque<TStep> undo, redo; // the next step to undo (redo) at the back
    std::optional<TStep> open;    // the start of the change under way
};
