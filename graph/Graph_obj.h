#pragma once
// The graph record, its colour table and every operation on it: editing, hit testing,
// drawing and the gf4 file format. Plain records and free functions; no Qt.

#include "Canvas.h"
#include "Colors.h"
#include "FileFailure.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

constexpr int MaxVertices = 100;
// The most edges the table can hold: one from every vertex to every vertex. A file whose counts
// line says more is unreadable, and edgeCount never leaves 0..MaxEdges through an edit.
constexpr int MaxEdges = MaxVertices * MaxVertices;

struct Tvertex {
    std::string name;
    std::int32_t radius = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// One direction of one edge, held in the list of the vertex it leaves.
struct Tedge {
    std::int32_t source = 0;
    std::int32_t target = 0;
    TColor color = 0;
    bool hovered = false;
    std::unique_ptr<Tedge> next; // owning: the rest of the list
    Tedge* twin = nullptr;       // never owning; a self-loop is its own twin
    std::string weight;
};

struct Tgraph {
    Tvertex vertices[MaxVertices + 1];                 // index = vertex number 1..100; [0] unused
    std::unique_ptr<Tedge> edgeLists[MaxVertices + 1]; // index = vertex number; head = newest
    std::int32_t vertexCount = 0, edgeCount = 0;
    bool directed = false, weighted = false, created = false, skipNextPress = false, draggingVertex = false,
         draggingAll = false;
    std::int32_t edgeStart = 0, edgeEnd = 0, dragVertex = 0;
    TColor baseColor = 0, currentColor = 0;
    std::string fileName;
};

// Raised by SaveGraph; ErrorCode is 2, 3, 4, 5, 101 or the system's errno (EISDIR or EINVAL for a
// target that is a folder or another file that is not a regular file).
class EInOutError : public std::runtime_error {
public:
    EInOutError(int code, const std::string& text);
    int ErrorCode;
};

// Record operations. Callers pass vertex numbers in 1..vertexCount; refusals are silent.
//
// edgeCount: InitGraph and ClearGraph set it to 0; DeleteEdge lowers it by one for each edge it
// removes, but not below 0, and so do DeleteVertex and DeleteHoveredEdges, which remove edges
// through it; ConnectVertices raises it by one for an edge it adds, but not above MaxEdges (a
// file's counts line need not match its edge lines, and every count saved must read back). AddEdge adds one node and
// leaves the count to its caller: an undirected edge takes two calls and counts once. SyncShadow copies it.
void InitGraph(Tgraph& g);
void ClearGraph(Tgraph& g);
bool AddEdge(Tgraph& g, int source, int target, const std::string& text);
void DeleteEdge(Tgraph& g, int source, int target);
void ColorName(const Tgraph& g, TColor color, std::string& name);
void AddVertex(Tgraph& g, int x, int y); // a full table (100 vertices) is left unchanged
void DeleteVertex(Tgraph& g, int v);
void MoveVertex(Tgraph& g, int v, int dx, int dy);
void MoveAllVertices(Tgraph& g, int dx, int dy);
void RecolorHoveredEdges(Tgraph& g, TColor color);
void DeleteHoveredEdges(Tgraph& g);
void SyncShadow(const Tgraph& live, Tgraph& shadow);
// All of g that the analysis reads, as one text: created, kind, base colour, the names and every
// edge with its colour and weight, but not where the vertices stand. Two graphs with the same key
// give the same report, results and traces; a drag leaves it as it was.
std::string StructureKey(const Tgraph& g);
// Whether a gf4 file can hold the text as a name or weight and read it back whole: no "*/",
// which would end its frame, and no line break.
bool StorableText(const std::string& text);
// Set vertex v's name, or the edge node's weight, when StorableText allows it; false (and
// nothing changed) otherwise.
bool RenameVertex(Tgraph& g, int v, const std::string& name);
bool SetEdgeWeight(Tedge& edge, const std::string& weight);
// The add-edge tool's edge from source to target: AddEdge, and in an undirected graph the other
// half too (a self-loop finds itself there and is not added twice); edgeCount rises by one when
// the edge was added. Returns whether it was; an edge already there is left as it is.
bool ConnectVertices(Tgraph& g, int source, int target, const std::string& text);

// Hit tests, in surface pixels.
int VertexAt(const Tgraph& g, int x, int y);                           // 0 for none
bool EdgeHit(const Tgraph& g, int x, int y, int s, const Tedge& node); // node is held in list s
// The hover pass at a pointer position: every node's hovered becomes EdgeHit there. Returns
// whether any node's flag changed, that is whether the picture must be redrawn.
bool HoverEdges(Tgraph& g, int x, int y);
// The first hovered node in list order (lists 1..vertexCount, each from its head), or null. For
// an undirected edge that is the node in the list of its lower-numbered end, the one drawn and
// saved.
Tedge* FirstHoveredEdge(Tgraph& g);

// gf4 files.
// SaveGraph replaces the file only when the new one is whole (see ReplaceFile in SafeFile.h);
// throws EInOutError. LoadGraph reads regular files only, up to MaxReadBytes; anything else is a
// read error, as is running out of memory. Outcome in created/fileName.
void SaveGraph(const Tgraph& g, const std::string& path);
// Writes bytes to path as SaveGraph writes its file (ReplaceFile in SafeFile.h): a failure leaves
// the old file and no partial one. Throws EInOutError, with SaveGraph's codes and texts.
void SaveFileSafely(const std::string& path, const std::string& bytes);
void LoadGraph(Tgraph& g, const std::string& path) noexcept;
// What a load found beyond its outcome in the record, for the window and the command line to act
// on. failure set: the file could not be read (System, NotRegular, TooLarge), or is no graph file
// (NotGraph: a tag line that is no tag, counts or numbers that do not read); its graph must not
// replace one on screen. Else damage, when not empty, says what a file that reads as a graph
// lacks ("line 9: the file ends before vertex 4 of 5", "line 12 names vertex 9, which ...").
struct TLoadReport {
    TFileFailure failure;
    std::string damage;
};
// LoadGraph, with the record left exactly as LoadGraph leaves it, and its report.
TLoadReport LoadGraphReport(Tgraph& g, const std::string& path) noexcept;
// "The file "PATH" is damaged: DAMAGE" (no full stop).
std::string DamageText(const std::string& path, const std::string& damage);
// The bytes SaveGraph writes for g. Throws EInOutError (EINVAL) for a name or weight that the
// file cannot hold (a line feed; "*/" in a name, "*/ " in a weight), which SaveGraph reports
// as a failed write.
std::string GraphFileText(const Tgraph& g);
// The reader underneath LoadGraph, over bytes already in memory; path only names the result.
void LoadGraphFromText(Tgraph& g, const std::string& text, const std::string& path);
// The same, with LoadGraphReport's report of what the text lacks.
TLoadReport LoadGraphTextReport(Tgraph& g, const std::string& text, const std::string& path);

// Drawing.
void DrawGraph(const Tgraph& g, TCanvas& canvas);
// The graph with a result drawn over it (see Marks.h).
struct TMarks;
void DrawGraph(const Tgraph& g, TCanvas& canvas, const TMarks& marks);
void EraseGraph(const Tgraph& g, TCanvas& canvas);
