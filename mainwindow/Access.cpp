// Editing from the keyboard alone, and the surface as assistive programs read it.
//
// The keyboard's selection (keyVertex) is a vertex number; it is in use while it is not 0, and
// only then is it marked on the surface, so that the picture of a graph edited with the mouse is
// the graph's alone. Each key's change is one step of the undo history, as a drag is.

#include "TForm1.h"

#include "ColorBox.h"
#include "Describe.h"
#include "ErrorHandler.h"
#include "Geometry.h"
#include "Surface.h"
#include "Text.h"
#include "request.h"

#include <QCursor>
#include <QKeyEvent>
#include <QToolButton>

#include <algorithm>

namespace {

// How far the arrow keys move the selected vertex, in surface pixels: a step, or with Shift one.
constexpr int KeyStep = 10;
// The gap between a vertex's circle and its selection mark, and the second mark of an edge's
// first vertex further out; surface pixels.
constexpr int MarkGap = 4, EdgeMarkGap = 7;
// Letters typed further apart than this start a new search.
constexpr std::chrono::milliseconds SearchPause(1000);

// A square frame, one pixel wide, whose corners are the box's.
void Frame(TCanvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y1);
    canvas.LineTo(x2, y2);
    canvas.LineTo(x1, y2);
    canvas.LineTo(x1, y1);
}

} // namespace

bool TForm1::focusNextPrevChild(bool next) {
    const QWidget* focus = focusWidget();
    if ((focus == this || focus == nullptr) && LiveGraph.created && geometry::HeldVertices(LiveGraph) > 0) {
        Guarded([&] { StepVertexSelection(next ? 1 : -1); });
        return true;
    }
    return QMainWindow::focusNextPrevChild(next);
}

void TForm1::SelectVertexByKey(int v) {
    keyVertex = v;
    RefreshView();
}

void TForm1::StepVertexSelection(int step) {
    const int n = geometry::HeldVertices(LiveGraph);
    if (n == 0) return;
    keySearch.clear();
    if (keyVertex == 0)
        SelectVertexByKey(step > 0 ? 1 : n);
    else
        SelectVertexByKey((keyVertex - 1 + step + n) % n + 1);
}

// The letters typed in a row, compared with the start of each name in any case: the first vertex
// after the selected one (for a first letter) or from it (for the next ones) that matches.
bool TForm1::SearchVertex(QChar typed) {
    const auto now = std::chrono::steady_clock::now();
    if (now - keySearchAt > SearchPause) keySearch.clear();
    keySearchAt = now;
    const bool first = keySearch.empty();
    keySearch += QString(typed).toStdString();
    const QString wanted = QString::fromStdString(keySearch);
    const int n = geometry::HeldVertices(LiveGraph);
    for (int k = 0; k < n; ++k) {
        const int v = ((keyVertex == 0 ? 0 : keyVertex - (first ? 0 : 1)) + k) % n + 1;
        const QString name = QString::fromStdString(Utf8Text(LiveGraph.vertices[v].name));
        if (name.startsWith(wanted, Qt::CaseInsensitive)) {
            SelectVertexByKey(v);
            return true;
        }
    }
    return false;
}

void TForm1::EndKeyboardSelection() {
    if (keyVertex == 0 && keyEdgeStart == 0) return;
    keyVertex = keyEdgeStart = 0;
    keySearch.clear();
    if (LiveGraph.created) RefreshView();
}

bool TForm1::KeyboardEdit(const QKeyEvent& event) {
    Tgraph& g = LiveGraph;
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!g.created || (modifiers & ~Qt::ShiftModifier)) return false;
    const int key = event.key();
    const int n = geometry::HeldVertices(g);
    if (keyVertex > n) keyVertex = 0;
    if (keyEdgeStart > n) keyEdgeStart = 0;

    if (key == Qt::Key_Insert) {
        QPoint at = Image1->mapFromGlobal(QCursor::pos());
        if (!Image1->underMouse() || !Image1->rect().contains(at)) at = Image1->rect().center();
        History.BeginChange(g);
        const bool full = g.vertexCount >= MaxVertices;
        AddVertex(g, at.x(), at.y());
        History.EndChange(g);
        if (!full) keyVertex = geometry::HeldVertices(g);
        RefreshView();
        if (full) ShowMessage(QStringLiteral("A graph holds at most 100 vertices."));
        return true;
    }
    if (key == Qt::Key_Escape && keyEdgeStart != 0) {
        keyEdgeStart = 0;
        RefreshView();
        return true;
    }
    if (key == Qt::Key_Escape && keyVertex != 0) {
        EndKeyboardSelection();
        return false; // and Escape's own work, as without the selection
    }
    if (keyVertex == 0) {
        const QString text = event.text();
        return text.size() == 1 && text.at(0).isLetterOrNumber() && SearchVertex(text.at(0));
    }

    const int v = keyVertex;
    int dx = 0, dy = 0;
    const int step = modifiers & Qt::ShiftModifier ? 1 : KeyStep;
    switch (key) {
    case Qt::Key_Left: dx = -step; break;
    case Qt::Key_Right: dx = step; break;
    case Qt::Key_Up: dy = -step; break;
    case Qt::Key_Down: dy = step; break;
    default: break;
    }
    if (dx != 0 || dy != 0) {
        History.BeginChange(g);
        MoveVertex(g, v, dx, dy);
        History.EndChange(g);
        RefreshView();
        return true;
    }
    switch (key) {
    case Qt::Key_F2: {
        History.BeginChange(g);
        const std::pair<std::string, std::string> cut = AskVertexName(v);
        History.EndChange(g);
        RefreshView();
        TellNameCut(cut);
        return true;
    }
    case Qt::Key_Delete:
        History.BeginChange(g);
        DeleteVertex(g, v);
        History.EndChange(g);
        if (keyEdgeStart == v)
            keyEdgeStart = 0;
        else if (keyEdgeStart > v)
            --keyEdgeStart;
        keyVertex = std::min(v, geometry::HeldVertices(g));
        RefreshView();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (keyEdgeStart == 0) return false;
        ConfirmKeyboardEdge();
        return true;
    default: break;
    }
    const QString text = event.text();
    if (text.size() != 1 || !text.at(0).isLetterOrNumber()) return false;
    // E starts an edge, unless it continues a name being typed or an edge is started already.
    const bool typing = !keySearch.empty() && std::chrono::steady_clock::now() - keySearchAt <= SearchPause;
    if (key == Qt::Key_E && !typing && keyEdgeStart == 0) {
        keyEdgeStart = v;
        RefreshView();
        return true;
    }
    return SearchVertex(text.at(0));
}

// The edge from keyEdgeStart to the selected vertex, as the add-edge tool makes it; in a weighted
// graph its weight is then asked as a double-click on it asks. One step of the undo history.
void TForm1::ConfirmKeyboardEdge() {
    Tgraph& g = LiveGraph;
    const int s = keyEdgeStart, t = keyVertex;
    keyEdgeStart = 0;
    History.BeginChange(g);
    std::string text;
    ColorName(g, ColorBox1->Selected(), text);
    const bool added = ConnectVertices(g, s, t, text);
    RefreshView();
    if (added && g.weighted) {
        // The node drawn and saved for the edge: in an undirected graph, the one in the list of
        // its lower-numbered end.
        const int from = g.directed ? s : std::min(s, t), to = g.directed ? t : std::max(s, t);
        const Tvertex fromWas = g.vertices[from], toWas = g.vertices[to];
        const auto node = [&]() -> Tedge* {
            if (from > g.vertexCount || to > g.vertexCount) return nullptr;
            const Tvertex &a = g.vertices[from], &b = g.vertices[to];
            if (a.x != fromWas.x || a.y != fromWas.y || a.name != fromWas.name || b.x != toWas.x || b.y != toWas.y ||
                b.name != toWas.name)
                return nullptr;
            for (Tedge* e = g.edgeLists[from].get(); e; e = e->next.get())
                if (e->target == to) return e;
            return nullptr;
        };
        if (Tedge* edge = node()) {
            const std::string before = edge->weight;
            std::string weight = before;
            PromptText("Edge \"" + weight + "\" reweighting", weight, weight, [this] { return appClosing; });
            // Nothing is held across the prompt's wait: the edge is found again.
            Tedge* again = node();
            if (!StorableText(weight))
                ShowError(std::runtime_error(
                    "The weight is left as it was: a graph file cannot hold \"*/\" or a line break in it"));
            else if (again && again->weight == before)
                SetEdgeWeight(*again, weight);
        }
    }
    History.EndChange(g);
    RefreshView();
}

void TForm1::EraseKeyboardMarks(TCanvas& canvas) {
    if (shownMarks.empty()) return;
    canvas.SetPenWidth(1);
    canvas.SetPenColor(colors::White);
    for (const TMarkBox& b : shownMarks) Frame(canvas, b.x1, b.y1, b.x2, b.y2);
    shownMarks.clear();
}

void TForm1::DrawKeyboardMarks(TCanvas& canvas) {
    const int n = geometry::HeldVertices(LiveGraph);
    if (keyVertex > n) keyVertex = 0;
    if (keyEdgeStart > n) keyEdgeStart = 0;
    // The add-edge tool's first vertex, while the second is awaited, is marked as the keyboard's is.
    const Tgraph& g = LiveGraph;
    const int pending =
        ToolButton12->isChecked() && g.edgeStart > 0 && g.edgeStart <= n && g.edgeEnd == 0 ? g.edgeStart : 0;
    PendingMarked = pending != 0;
    if (keyVertex == 0 && pending == 0) return;
    const auto mark = [&](int v, int gap) {
        const Tvertex& c = LiveGraph.vertices[v];
        const int r = geometry::VertexRadius + gap;
        const TMarkBox box{
            geometry::ClampInt(static_cast<long long>(c.x) - r), geometry::ClampInt(static_cast<long long>(c.y) - r),
            geometry::ClampInt(static_cast<long long>(c.x) + r), geometry::ClampInt(static_cast<long long>(c.y) + r)};
        Frame(canvas, box.x1, box.y1, box.x2, box.y2);
        shownMarks.push_back(box);
    };
    canvas.SetPenWidth(1);
    canvas.SetPenColor(colors::Blue);
    if (keyVertex != 0) mark(keyVertex, MarkGap);
    if (keyEdgeStart != 0) mark(keyEdgeStart, EdgeMarkGap);
    if (pending != 0 && pending != keyEdgeStart) mark(pending, EdgeMarkGap);
}

TAccessibleContent TForm1::AccessibleSurface() const {
    TAccessibleContent content;
    if (!LiveGraph.created) {
        content.name = QStringLiteral("Graph not created");
        return content;
    }
    const analysis::TAccessibleGraph texts = analysis::AccessibleTexts(LiveGraph);
    content.name = QString::fromStdString(texts.name);
    const auto box = [&](int v) {
        const Tvertex& c = LiveGraph.vertices[v];
        const long long r = geometry::VertexRadius;
        return QRect(QPoint(geometry::ClampInt(c.x - r), geometry::ClampInt(c.y - r)),
                     QPoint(geometry::ClampInt(c.x + r), geometry::ClampInt(c.y + r)));
    };
    for (std::size_t i = 0; i < texts.vertexNames.size(); ++i)
        content.items.push_back({QString::fromStdString(texts.vertexNames[i]),
                                 QString::fromStdString(texts.vertexDescriptions[i]), box(static_cast<int>(i) + 1)});
    for (const auto& edge : texts.edges)
        content.items.push_back(
            {QString::fromStdString(edge.name), QString(), box(edge.source).united(box(edge.target))});
    const int n = geometry::HeldVertices(LiveGraph);
    content.focused = keyVertex >= 1 && keyVertex <= n ? keyVertex - 1 : -1;
    return content;
}
