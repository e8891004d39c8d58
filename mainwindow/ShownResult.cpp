// Results drawn on the surface: the named results (--show, the analysis panel) recomputed from the
// graph at every redraw, hidden with a note in the status bar when they no longer apply; the
// add-edge tool's pending first vertex named in the status bar.

#include "TForm1.h"

#include "Analysis.h"
#include "ErrorHandler.h"
#include "Marks.h"
#include "TextCodec.h"

#include <QToolButton>

#include <stdexcept>

void TForm1::ShowResults(const QStringList& results, const QString& colour) {
    std::optional<TColor> highlight;
    if (!colour.isEmpty()) {
        highlight = ColorNamed(colour.toStdString());
        if (!highlight)
            throw std::runtime_error("Unknown colour \"" + colour.toStdString() + "\"; the colours are " +
                                     ColorNameList());
    }
    ShownTexts.clear();
    for (const QString& text : results) ShownTexts.push_back(text.toStdString());
    ShownColour = highlight;
    ShownNote.clear();
    // A result the graph cannot give is said now, in the error box, rather than as a note.
    if (LiveGraph.created) {
        TMarks marks;
        try {
            ComputeMarks(marks);
        } catch (...) {
            ShownTexts.clear();
            throw;
        }
    }
    RefreshView();
}

void TForm1::HideResults() {
    ShownTexts.clear();
    Shown.reset();
}

bool TForm1::ShowsResult() const { return !ShownTexts.empty(); }

const TMarks* TForm1::ShownMarks() const { return Shown ? &*Shown : nullptr; }

void TForm1::ComputeMarks(TMarks& marks) const {
    using namespace analysis;
    marks.highlight = ShownColour ? *ShownColour : DefaultHighlight(LiveGraph);
    for (const std::string& text : ShownTexts) {
        const TResultRequest request = ParseResult(LiveGraph, text);
        AddMarks(LiveGraph, request, Result(LiveGraph, request), marks);
    }
}

// Before each redraw: the shown results as the graph now gives them, or none, with the reason in
// the status bar, when one no longer applies (its vertex deleted, a graph it no longer fits).
void TForm1::UpdateShownMarks() {
    Shown.reset();
    if (ShownTexts.empty() || !LiveGraph.created) return;
    TMarks marks;
    try {
        ComputeMarks(marks);
        Shown = std::move(marks);
    } catch (const std::exception& reason) {
        std::string names;
        for (const std::string& text : ShownTexts) names += (names.empty() ? "" : ", ") + text;
        ShownNote = QStringLiteral("Hidden %1: %2").arg(QString::fromStdString(names), DecodeText(reason.what()));
        ShownTexts.clear();
    }
}

// The status bar's second panel with a graph: empty as a rule; the add-edge tool's first vertex
// while the second is awaited, else why a shown result was hidden.
QString TForm1::StatusNote() const {
    const Tgraph& g = LiveGraph;
    if (ToolButton12->isChecked() && g.edgeStart != 0 && g.edgeEnd == 0 && g.edgeStart <= g.vertexCount) {
        const std::string& name = g.vertices[g.edgeStart].name;
        const QString from = name.empty() ? QStringLiteral("#%1").arg(g.edgeStart) : DecodeText(name);
        return QStringLiteral("Edge from %1: click the second vertex").arg(from);
    }
    return ShownNote;
}
