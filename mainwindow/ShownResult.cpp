// Results drawn on the surface: the named results (--show, the analysis panel) or a trace step by
// step (--trace, the panel) recomputed from the graph at every redraw, hidden with a note in the
// status bar when they no longer apply; the add-edge tool's pending first vertex named in the
// status bar; the panel told what is shown.

#include "TForm1.h"

#include "Analysis.h"
#include "ErrorHandler.h"
#include "Marks.h"
#include "PictureBounds.h"
#include "ReportWindow.h"
#include "Surface.h"
#include "TextCodec.h"
#include "Trace.h"

#include <QToolButton>

#include <algorithm>

#include <stdexcept>

// The shown results and trace as last computed, with the StructureKey of the graph they came
// from, so that a drag does not run them again.
struct TForm1::TShownCache {
    std::string key;
    TMarks results;        // the results' marks, before any trace frame's
    analysis::TJson trace; // the trace's run; null without one
};

void TForm1::ShowResults(const QStringList& results, const QString& colour) {
    std::optional<TColor> highlight;
    if (!colour.isEmpty()) {
        highlight = ColorNamed(colour.toStdString());
        if (!highlight)
            throw std::runtime_error("Unknown colour \"" + colour.toStdString() + "\"; the colours are " +
                                     ColorNameList());
    }
    HideResults();
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

void TForm1::ShowTrace(const QString& trace) {
    HideResults();
    ShownColour.reset();
    ShownNote.clear();
    ShownTraceText = trace.toStdString();
    if (LiveGraph.created) {
        TMarks marks;
        try {
            ComputeMarks(marks);
        } catch (...) {
            HideResults();
            throw;
        }
    }
    RefreshView();
}

void TForm1::ShowFrame(int frame) {
    if (ShownTraceText.empty()) return;
    TraceFrame = std::clamp(frame, 0, TraceLastFrame);
    RefreshView();
}

void TForm1::HideResults() {
    ShownTexts.clear();
    ShownTraceText.clear();
    TraceFrame = TraceLastFrame = 0;
    TraceWords.clear();
    Shown.reset();
    ShownCache.reset();
}

bool TForm1::ShowsResult() const { return !ShownTexts.empty() || !ShownTraceText.empty(); }

bool TForm1::TraceKey(int key) {
    if (ShownTraceText.empty() || !LiveGraph.created) return false;
    switch (key) {
    case Qt::Key_PageDown: ShowFrame(TraceFrame + 1); return true;
    case Qt::Key_PageUp: ShowFrame(TraceFrame - 1); return true;
    case Qt::Key_Home: ShowFrame(0); return true;
    case Qt::Key_End: ShowFrame(TraceLastFrame); return true;
    default: return false;
    }
}

const TMarks* TForm1::ShownMarks() const { return Shown ? &*Shown : nullptr; }

void TForm1::ComputeMarks(TMarks& marks) {
    using namespace analysis;
    std::string key = StructureKey(LiveGraph);
    if (!ShownCache || ShownCache->key != key) {
        ShownCache.reset();
        auto cache = std::make_shared<TShownCache>();
        cache->key = std::move(key);
        cache->results.highlight = ShownColour ? *ShownColour : DefaultHighlight(LiveGraph);
        for (const std::string& text : ShownTexts) {
            const TResultRequest request = ParseResult(LiveGraph, text);
            AddMarks(LiveGraph, request, Result(LiveGraph, request), cache->results);
        }
        if (!ShownTraceText.empty()) cache->trace = Trace(LiveGraph, ParseTrace(LiveGraph, ShownTraceText));
        ShownCache = std::move(cache);
    }
    marks = ShownCache->results;
    if (ShownTraceText.empty()) return;
    const TJson& trace = ShownCache->trace;
    // A change may have shortened the run.
    TraceLastFrame = TraceFrames(trace) - 1;
    TraceFrame = std::clamp(TraceFrame, 0, TraceLastFrame);
    AddTraceMarks(LiveGraph, trace, TraceFrame, marks);
    TraceWords = TraceStepText(trace, TraceFrame);
}

// Before each redraw: the shown results as the graph now gives them, or none, with the reason in
// the status bar, when one no longer applies (its vertex deleted, a graph it no longer fits).
void TForm1::UpdateShownMarks() {
    Shown.reset();
    if (!ShowsResult() || !LiveGraph.created) return;
    TMarks marks;
    try {
        ComputeMarks(marks);
        Shown = std::move(marks);
    } catch (const std::exception& reason) {
        std::string names = ShownTraceText;
        for (const std::string& text : ShownTexts) names += (names.empty() ? "" : ", ") + text;
        ShownNote = QStringLiteral("Hidden %1: %2").arg(QString::fromStdString(names), DecodeText(reason.what()));
        HideResults();
    }
}

// The status bar's second panel with a graph: empty as a rule; the add-edge tool's first vertex
// while the second is awaited, else the shown trace's step, else why a shown result was hidden.
QString TForm1::StatusNote() const {
    const Tgraph& g = LiveGraph;
    if (ToolButton12->isChecked() && g.edgeStart != 0 && g.edgeEnd == 0 && g.edgeStart <= g.vertexCount) {
        const std::string& name = g.vertices[g.edgeStart].name;
        const QString from = name.empty() ? QStringLiteral("#%1").arg(g.edgeStart) : DecodeText(name);
        return QStringLiteral("Edge from %1: click the second vertex").arg(from);
    }
    if (!ShownTraceText.empty() && Shown) return StepText();
    return ShownNote;
}

QString TForm1::StepText() const {
    return QStringLiteral("Step %1 of %2: %3").arg(TraceFrame).arg(TraceLastFrame).arg(DecodeText(TraceWords));
}

void TForm1::BindPanel() {
    TPanelRequests requests;
    requests.showResult = [this](const QString& result) { Guarded([&] { ShowResults({result}); }); };
    requests.showTrace = [this](const QString& trace) { Guarded([&] { ShowTrace(trace); }); };
    requests.hide = [this] {
        HideResults();
        ShownNote.clear();
        RefreshView();
    };
    requests.step = [this](int delta) { Guarded([&] { ShowFrame(TraceFrame + delta); }); };
    TReportWindow::Of(*this).SetRequests(std::move(requests));
}

void TForm1::TellPanel() {
    TReportWindow* panel = TReportWindow::Find(*this);
    if (!panel) return;
    panel->Follow(LiveGraph);
    TShownState state;
    std::string names = ShownTraceText;
    for (const std::string& text : ShownTexts) names += (names.empty() ? "" : ", ") + text;
    state.shown = DecodeText(names);
    if (!ShownTraceText.empty() && Shown) {
        state.stepText = StepText();
        state.canGoBack = TraceFrame > 0;
        state.canGoOn = TraceFrame < TraceLastFrame;
    }
    panel->SetShownState(state);
}

void TForm1::BringIntoView() {
    Tgraph& g = LiveGraph;
    if (!g.created) return;
    const auto [dx, dy] = ShiftIntoView(g, Image1->Canvas(), Image1->width(), Image1->height());
    if (dx == 0 && dy == 0) return;
    History.BeginChange(g);
    MoveAllVertices(g, dx, dy);
    History.EndChange(g);
    RefreshView();
}
