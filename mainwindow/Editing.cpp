// Editing tools and mouse interaction on the drawing surface, and renaming vertices and
// reweighting edges by a double-click.
//
// The editing state between events lives in LiveGraph (drag flags, the add-edge tool's chosen
// vertices, currentColor, skipNextPress); the press point is pressX, pressY. The tool in use is
// whichever of ToolButton10/12/14/16 is down. Each press, click and double-click is a change of
// its own for the undo history; a press's change lasts until the release, so a whole drag is
// one step.

#include "TForm1.h"

#include "ColorBox.h"
#include "ErrorHandler.h"
#include "Surface.h"
#include "Text.h"
#include "TextCodec.h"
#include "request.h"

#include <QToolButton>

#include <string>
#include <vector>

namespace {

constexpr int MaxNameWidth = 25; // surface pixels, in the canvas font
constexpr char EscapeKey = 27;
constexpr char UndoKey = 26; // Ctrl+Z
constexpr char RedoKey = 25; // Ctrl+Y, and Ctrl+Shift+Z
constexpr char CopyKey = 3;  // Ctrl+C

// The longest leading part of name, in whole characters, that is at most 25 pixels wide.
// Characters as the canvas reads the text (Text.h), so a cut never splits one.
std::string CutName(TCanvas& canvas, const std::string& name) {
    const std::vector<std::size_t> starts = CharacterStarts(name);
    for (std::size_t k = 1; k < starts.size(); ++k)
        if (canvas.TextWidth(name.substr(0, starts[k])) > MaxNameWidth) return name.substr(0, starts[k - 1]);
    return name;
}

// A text the graph file cannot hold is refused with the reason; the old one stays.
void RefuseText(const char* what) {
    ShowError(std::runtime_error(std::string("The ") + what +
                                 " is left as it was: a graph file cannot hold \"*/\" or a line break in it"));
}

// Whether two vertex records are the same vertex to the user: same place, same name.
bool SameVertex(const Tvertex& a, const Tvertex& b) { return a.x == b.x && a.y == b.y && a.name == b.name; }

// The vertex copied into `was`, found again after the graph may have changed: number v while it
// is still that vertex, else the first with its place and name; 0 when it is gone.
int FindVertex(const Tgraph& g, int v, const Tvertex& was) {
    if (v <= g.vertexCount && SameVertex(g.vertices[v], was)) return v;
    for (int i = 1; i <= g.vertexCount; ++i)
        if (SameVertex(g.vertices[i], was)) return i;
    return 0;
}

} // namespace

// Choosing a tool. The button's own click has already toggled it; a menu item puts it down first.
void TForm1::ToolButton10Click() {
    if (!LiveGraph.created) {
        ToolButton10->setChecked(false);
        return;
    }
    ToolButton12->setChecked(false);
    ToolButton14->setChecked(false);
    ToolButton16->setChecked(false);
    DropPendingMark();
}

void TForm1::ToolButton12Click() {
    if (!LiveGraph.created) {
        ToolButton12->setChecked(false);
        return;
    }
    ToolButton10->setChecked(false);
    ToolButton14->setChecked(false);
    ToolButton16->setChecked(false);
    LiveGraph.edgeStart = 0;
    LiveGraph.edgeEnd = 0;
    DropPendingMark();
}

void TForm1::ToolButton14Click() {
    if (!LiveGraph.created) {
        ToolButton14->setChecked(false);
        return;
    }
    ToolButton10->setChecked(false);
    ToolButton12->setChecked(false);
    ToolButton16->setChecked(false);
    DropPendingMark();
}

void TForm1::ToolButton16Click() {
    if (!LiveGraph.created) {
        ToolButton16->setChecked(false);
        return;
    }
    ToolButton10->setChecked(false);
    ToolButton12->setChecked(false);
    ToolButton14->setChecked(false);
    DropPendingMark();
}

// Cancel: no tool. No redraw but the pending mark's, and the add-edge tool's chosen vertices are kept.
void TForm1::ToolButton18Click() {
    ToolButton10->setChecked(false);
    ToolButton12->setChecked(false);
    ToolButton14->setChecked(false);
    ToolButton16->setChecked(false);
    DropPendingMark();
}

// Another tool, or none: the mark on the add-edge tool's first vertex goes, with a redraw of
// the same graph, since it is marked only while the second vertex is awaited.
void TForm1::DropPendingMark() {
    if (PendingMarked) RefreshView();
}

void TForm1::Addvertex1Click() {
    ToolButton10->setChecked(true);
    ToolButton10Click();
}

void TForm1::Addedge1Click() {
    ToolButton12->setChecked(true);
    ToolButton12Click();
}

void TForm1::Deletevertex1Click() {
    ToolButton14->setChecked(true);
    ToolButton14Click();
}

void TForm1::Deleteedge1Click() {
    ToolButton16->setChecked(true);
    ToolButton16Click();
}

// A press of any button starts a drag: of the vertex under it, or of the whole picture.
void TForm1::Image1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    Tgraph& g = LiveGraph;
    EndKeyboardSelection();
    if (g.skipNextPress) {
        // The second press of a double-click that opened a prompt.
        g.skipNextPress = false;
        return;
    }
    History.BeginChange(g);
    g.draggingVertex = false;
    g.draggingAll = false;
    g.dragVertex = 0;
    const int v = VertexAt(g, x, y);
    if (v != 0) {
        g.draggingVertex = true;
        g.dragVertex = v;
    }
    pressX = x;
    pressY = y;
    g.draggingAll = !g.draggingVertex;
}

void TForm1::Image1MouseMove(Qt::KeyboardModifiers, int x, int y) {
    Tgraph& g = LiveGraph;
    if (g.skipNextPress) return;
    if (g.draggingVertex) {
        MoveVertex(g, g.dragVertex, x - pressX, y - pressY);
        pressX = x;
        pressY = y;
        RefreshView();
    }
    if (g.draggingAll) {
        MoveAllVertices(g, x - pressX, y - pressY);
        pressX = x;
        pressY = y;
        RefreshView();
    }
    // The hovered flags are left alone during a drag.
    if (g.draggingVertex || g.draggingAll) return;

    if (HoverEdges(g, x, y)) RefreshView();
}

// A left-button release over the surface after a press on it. The click carries no position:
// it acts at the press point, which a drag has moved along with the pointer.
void TForm1::Image1Click() {
    Tgraph& g = LiveGraph;
    if (g.created && !g.skipNextPress) {
        History.BeginChange(g);
        // Any tool or none; shown at the next redraw.
        RecolorHoveredEdges(g, ColorBox1->Selected());
        const int hit = VertexAt(g, pressX, pressY);

        // At most one tool is down, so at most one of these acts.
        if (ToolButton10->isChecked()) {
            const bool full = g.vertexCount >= MaxVertices;
            AddVertex(g, pressX, pressY);
            ToolButton10->setChecked(false);
            RefreshView();
            if (full) ShowMessage(QStringLiteral("A graph holds at most 100 vertices."));
        }
        if (ToolButton14->isChecked() && hit != 0) {
            DeleteVertex(g, hit);
            RefreshView();
            ToolButton14->setChecked(false);
        }
        if (ToolButton12->isChecked() && hit != 0) {
            if (g.edgeStart == 0) {
                g.edgeStart = hit;
                RefreshView(); // the status bar names the first vertex
            } else {
                g.edgeEnd = hit;
            }
            if (g.edgeStart != 0 && g.edgeEnd != 0) {
                std::string text;
                ColorName(g, ColorBox1->Selected(), text);
                ConnectVertices(g, g.edgeStart, g.edgeEnd, text);
                RefreshView();
                ToolButton12->setChecked(false);
            }
        }
        if (ToolButton16->isChecked()) {
            DeleteHoveredEdges(g);
            RefreshView();
            ToolButton16->setChecked(false);
        }
        History.EndChange(g);
    }
    g.skipNextPress = false;
}

void TForm1::Image1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    LiveGraph.draggingVertex = false;
    LiveGraph.draggingAll = false;
    History.EndChange(LiveGraph);
}

// Escape ends the add-vertex tool, unless an edge has been made since the add-edge tool was last
// chosen; with no tool in use it hides the shown results. Ctrl+Z undoes a step, Ctrl+Y (Ctrl+Shift+Z) redoes one,
// Ctrl+C copies the picture. Every character redraws; the full stop does nothing more.
void TForm1::FormKeyPress(char key) {
    // With no tool in use and no edge half made, Escape hides the results shown on the surface.
    const bool idle = !ToolButton10->isChecked() && !ToolButton12->isChecked() && !ToolButton14->isChecked() &&
                      !ToolButton16->isChecked();
    if (key == EscapeKey && idle) {
        HideResults();
        ShownNote.clear();
    }
    if (key == EscapeKey && !(LiveGraph.edgeStart != 0 && LiveGraph.edgeEnd != 0)) {
        ToolButton10->setChecked(false);
        // An edge whose first vertex is chosen is given up, and the add-edge tool with it.
        if (LiveGraph.edgeStart != 0 && ToolButton12->isChecked()) {
            LiveGraph.edgeStart = 0;
            ToolButton12->setChecked(false);
        }
    } else if (key == UndoKey) {
        History.Undo(LiveGraph);
    } else if (key == RedoKey) {
        History.Redo(LiveGraph);
    } else if (key == CopyKey && LiveGraph.created) {
        Image1->CopyPicture();
    }
    RefreshView();
}

// Only the user's selections get here. No redraw: a hovered edge takes the colour at the next one.
void TForm1::ColorBox1Change() { LiveGraph.currentColor = ColorBox1->Selected(); }

std::pair<std::string, std::string> TForm1::AskVertexName(int hit) {
    Tgraph& g = LiveGraph;
    const Tvertex chosen = g.vertices[hit];
    std::string name = chosen.name;
    PromptText("Vertex \"" + name + "\" renaming", name, name, [this] { return appClosing; });
    const std::string whole = name;
    if (!name.empty()) name = CutName(Image1->Canvas(), name);
    if (!StorableText(name)) {
        RefuseText("name");
    } else if (const int v = FindVertex(g, hit, chosen)) {
        RenameVertex(g, v, name);
        if (name != whole) return {whole, name};
    }
    return {};
}

void TForm1::TellNameCut(const std::pair<std::string, std::string>& cut) {
    if (cut.first.empty()) return;
    ShowMessage(QStringLiteral("The name \"%1\" is wider than the %2 pixels a vertex shows: \"%3\" is kept.")
                    .arg(DecodeText(cut.first), QString::number(MaxNameWidth), DecodeText(cut.second)));
}

// The second press of a left-button double-click, before its press event; the first press and
// release have already acted as a press, a click and a release at pressX, pressY.
// Nothing of the graph is held across the prompt's wait: afterwards the vertex or edge is found
// again, and a text whose vertex or edge is gone is dropped.
void TForm1::Image1DblClick() {
    Tgraph& g = LiveGraph;
    History.BeginChange(g);
    const int hit = VertexAt(g, pressX, pressY);
    std::pair<std::string, std::string> cut; // a name the cut shortened, and what is left of it
    if (hit != 0) {
        cut = AskVertexName(hit);
        g.skipNextPress = true;
    } else if (g.weighted) {
        // The node drawn and saved for the edge; its twin keeps the old weight.
        if (const Tedge* found = FirstHoveredEdge(g)) {
            const Tvertex from = g.vertices[found->source], to = g.vertices[found->target];
            const std::string before = found->weight;
            std::string weight = before;
            PromptText("Edge \"" + weight + "\" reweighting", weight, weight, [this] { return appClosing; });
            Tedge* again = FirstHoveredEdge(g);
            if (!StorableText(weight))
                RefuseText("weight");
            else if (again && again->weight == before && SameVertex(g.vertices[again->source], from) &&
                     SameVertex(g.vertices[again->target], to))
                SetEdgeWeight(*again, weight);
            g.skipNextPress = true;
        }
    }
    History.EndChange(g);
    // A full redraw, not the live graph painted over the picture: a label painted over and then
    // changed again before any redraw would never be in the shadow, so nothing would erase it.
    RefreshView();
    TellNameCut(cut);
}
