// The redraw cycle of a drag, the hover pass, the gf4 reader and writer, the exports and undo on
// fixed graphs, timed with Google Benchmark. Every canvas is measured on the same 1280 x 1024 picture.

#include "Analysis.h"
#include "GraphExport.h"
#include "Graph_obj.h"
#include "QtCanvas.h"
#include "RasterCanvas.h"
#include "RecoveryFile.h"
#include "SafeFile.h"
#include "UndoHistory.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>

namespace {

constexpr int SurfaceWidth = 1280, SurfaceHeight = 1024;
constexpr int CircleRadius = 460;

enum class TKind { Typical, Dense, Complete };

// A label of exactly length bytes: start, then words of letters, digits and punctuation.
std::string LongLabel(const std::string& start, std::size_t length) {
    static const char* const words[] = {" alpha",   " Beta,", " 42",     " gamma-ray",
                                        " (delta)", " WAVE",  " fjord;", " x=y"};
    std::string text = start;
    for (std::size_t k = start.size(); text.size() < length; ++k) text += words[(k * 7 + start.size()) % 8];
    text.resize(length);
    return text;
}

// Vertices on a circle around the surface's centre; every edge weighted, every seventh node
// hovered, colours taken in turn from the table.
std::unique_ptr<Tgraph> MakeBenchGraph(TKind kind, std::size_t labelLength = 0) {
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->created = true;
    g->weighted = true;
    g->directed = kind != TKind::Typical;
    g->currentColor = 0x000000FF;
    const int n = kind == TKind::Typical ? 30 : 100;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * pi * i / n;
        AddVertex(*g, SurfaceWidth / 2 + static_cast<int>(std::lround(CircleRadius * std::cos(a))),
                  SurfaceHeight / 2 + static_cast<int>(std::lround(CircleRadius * std::sin(a))));
    }
    int made = 0;
    auto connect = [&](int s, int t) {
        std::string weight = std::to_string((s * 37 + t * 11) % 1000);
        if (labelLength) weight = LongLabel(weight + ":", labelLength);
        const std::string text = "/*" + weight + "*/ " + ColorTable[(s + t) % 15].name; // never white
        made += ConnectVertices(*g, s, t, text);
    };
    switch (kind) {
    case TKind::Typical: // a ring and a chord from every vertex: 60 edges
        for (int i = 1; i <= n; ++i) {
            connect(i, i % n + 1);
            connect(i, (i + 6) % n + 1);
        }
        break;
    case TKind::Dense: { // ten arcs from every vertex, most of them with their opposite arc
        const int offsets[10] = {1, 99, 5, 95, 17, 33, 50, 61, 77, 88};
        for (int i = 1; i <= n; ++i)
            for (int k : offsets) connect(i, (i - 1 + k) % n + 1);
        break;
    }
    case TKind::Complete:
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                if (i != j) connect(i, j);
        break;
    }
    if (labelLength)
        for (int i = 1; i <= n; ++i) g->vertices[i].name = LongLabel("Vertex " + std::to_string(i) + ":", labelLength);
    int k = 0;
    for (int s = 1; s <= n; ++s)
        for (Tedge* e = g->edgeLists[s].get(); e; e = e->next.get()) e->hovered = k++ % 7 == 0;
    return g;
}

// Paints nothing: what is left of a redraw is the graph model's own work (geometry, walking the
// lists, SyncShadow). Texts measure 6 pixels a character, 13 high.
class TNullCanvas : public TCanvas {
public:
    explicit TNullCanvas(QImage&) {}
    void SetPenColor(TColor c) override { pen = c; }
    TColor PenColor() const override { return pen; }
    void SetPenWidth(int) override {}
    void SetBrushColor(TColor) override {}
    void SetFontColor(TColor) override {}
    TColor Pixel(int, int) const override { return 0; }
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void MoveTo(int, int) override {}
    void LineTo(int x, int y) override { benchmark::DoNotOptimize(x + y); }
    void Polygon(const TPoint* p, int) override { benchmark::DoNotOptimize(p[0].x); }
    void PolyBezier(const TPoint (&)[4]) override {}
    void TextOut(int x, int, const std::string&) override { benchmark::DoNotOptimize(x); }
    int TextWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return 13; }

private:
    TColor pen = 0;
};

struct TNoFrame {
    explicit TNoFrame(TCanvas&) {}
};

// One step of a drag of the whole picture, as the surface runs it on every pointer move.
template <class TCanvasImpl, class TFrame = TNoFrame>
void Redraw(benchmark::State& state, const QImage& image, TCanvasImpl& canvas, Tgraph& live) {
    auto shadow = std::make_unique<Tgraph>();
    DrawGraph(live, canvas);
    SyncShadow(live, *shadow);
    int step = 1;
    for (auto _ : state) {
        MoveAllVertices(live, step, 0);
        step = -step;
        {
            const TFrame frame(canvas);
            EraseGraph(*shadow, canvas);
            DrawGraph(live, canvas);
        }
        SyncShadow(live, *shadow);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// On the picture the surface paints on: RasterImage for the raster canvas, Qt's own otherwise.
template <class TCanvasImpl>
void Redraw(benchmark::State& state, TKind kind, std::size_t labelLength = 0) {
    QImage image = std::is_same_v<TCanvasImpl, TRasterCanvas>
                       ? RasterImage(SurfaceWidth, SurfaceHeight)
                       : QImage(SurfaceWidth, SurfaceHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvasImpl canvas(image);
    std::unique_ptr<Tgraph> live = MakeBenchGraph(kind, labelLength);
    Redraw(state, image, canvas, *live);
}
// The same cycle as RefreshView runs it: on the surface's own picture (RasterImage), painted
// directly in one frame on one thread.
void RedrawPass(benchmark::State& state, TKind kind, std::size_t labelLength = 0) {
    QImage image = RasterImage(SurfaceWidth, SurfaceHeight);
    image.fill(Qt::white);
    TRasterCanvas canvas(image);
    std::unique_ptr<Tgraph> live = MakeBenchGraph(kind, labelLength);
    Redraw<TRasterCanvas, TRasterCanvas::TFrame>(state, image, canvas, *live);
}

void RedrawQtTypical(benchmark::State& s) { Redraw<TQtCanvas>(s, TKind::Typical); }
void RedrawQtDense(benchmark::State& s) { Redraw<TQtCanvas>(s, TKind::Dense); }
void RedrawQtComplete(benchmark::State& s) { Redraw<TQtCanvas>(s, TKind::Complete); }
void RedrawModelOnlyComplete(benchmark::State& s) { Redraw<TNullCanvas>(s, TKind::Complete); }
void RedrawPassTypical(benchmark::State& s) { RedrawPass(s, TKind::Typical); }
void RedrawPassComplete(benchmark::State& s) { RedrawPass(s, TKind::Complete); }
void RedrawRasterTypical(benchmark::State& s) { Redraw<TRasterCanvas>(s, TKind::Typical); }
void RedrawRasterDense(benchmark::State& s) { Redraw<TRasterCanvas>(s, TKind::Dense); }
void RedrawRasterComplete(benchmark::State& s) { Redraw<TRasterCanvas>(s, TKind::Complete); }
void RedrawLabels64Complete(benchmark::State& s) { RedrawPass(s, TKind::Complete, 64); }
void RedrawLabels1000Complete(benchmark::State& s) { RedrawPass(s, TKind::Complete, 1000); }

// One vertex in the middle of the picture, named with 4 million characters.
void RedrawLongName4M(benchmark::State& state) {
    QImage image(SurfaceWidth, SurfaceHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    TRasterCanvas canvas(image);
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->created = true;
    AddVertex(*g, SurfaceWidth / 2, SurfaceHeight / 2);
    g->vertices[1].name = LongLabel("Vertex 1:", 4u << 20);
    Redraw(state, image, canvas, *g);
}

// Every shape reaching to the far corners of the coordinate range, where a file may place
// vertices, on the raster canvas: clipped to the picture, never stepped through pixel by pixel.
void RasterFarCoordinates(benchmark::State& state) {
    QImage image(SurfaceWidth, SurfaceHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    TRasterCanvas canvas(image);
    const TPoint far[4] = {{INT_MIN, INT_MIN}, {INT_MAX, 3}, {INT_MIN, INT_MAX}, {5, 5}};
    for (auto _ : state) {
        for (int width : {1, 3}) {
            canvas.SetPenWidth(width);
            canvas.MoveTo(INT_MIN, INT_MIN);
            canvas.LineTo(INT_MAX, INT_MAX);
            canvas.LineTo(INT_MIN, INT_MAX);
            canvas.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
            canvas.Ellipse(INT_MIN, 5, INT_MAX, 40);
            canvas.Polygon(far, 4);
            canvas.PolyBezier(far);
        }
        canvas.TextOut(INT_MIN, INT_MIN, "99");
    }
}

// The hover pass of a pointer move over the complete graph, at points that cross many edges,
// few edges and none.
void HoverComplete(benchmark::State& state) {
    std::unique_ptr<Tgraph> g = MakeBenchGraph(TKind::Complete);
    const int points[4][2] = {{640, 512}, {840, 612}, {g->vertices[1].x - 20, g->vertices[1].y}, {10, 10}};
    int p = 0;
    for (auto _ : state) {
        const int x = points[p][0], y = points[p][1];
        p = (p + 1) % 4;
        benchmark::DoNotOptimize(HoverEdges(*g, x, y));
        benchmark::ClobberMemory();
    }
}

std::string BenchFile(const char* ending = ".gf4") {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/nodeloom-bench-complete" + ending;
}

// Opening a file in the window: the reader, then the first redraw on a fresh canvas (the old
// picture erased through the shadow, the new graph drawn) and the shadow taken.
void LoadLabels1000Complete(benchmark::State& state) {
    const std::string path = BenchFile();
    SaveGraph(*MakeBenchGraph(TKind::Complete, 1000), path);
    QImage image(SurfaceWidth, SurfaceHeight, QImage::Format_RGB32);
    auto live = std::make_unique<Tgraph>(), shadow = std::make_unique<Tgraph>();
    for (auto _ : state) {
        state.PauseTiming();
        InitGraph(*live);
        InitGraph(*shadow);
        image.fill(Qt::white);
        state.ResumeTiming();
        LoadGraph(*live, path);
        if (!live->created) state.SkipWithError("the saved graph did not load");
        TRasterCanvas canvas(image);
        EraseGraph(*shadow, canvas);
        DrawGraph(*live, canvas);
        SyncShadow(*live, *shadow);
        benchmark::DoNotOptimize(image.constBits());
    }
    std::remove(path.c_str());
}

void SaveComplete(benchmark::State& state) {
    std::unique_ptr<Tgraph> g = MakeBenchGraph(TKind::Complete);
    const std::string path = BenchFile();
    for (auto _ : state) SaveGraph(*g, path);
    std::remove(path.c_str());
}

void LoadComplete(benchmark::State& state) {
    std::unique_ptr<Tgraph> g = MakeBenchGraph(TKind::Complete);
    const std::string path = BenchFile();
    SaveGraph(*g, path);
    auto loaded = std::make_unique<Tgraph>();
    for (auto _ : state) {
        LoadGraph(*loaded, path);
        if (!loaded->created) state.SkipWithError("the saved graph did not load");
    }
    std::remove(path.c_str());
}

// What the window's recovery timer does a moment after a change: the check for unsaved changes
// against the graph as last saved, the gf4 text behind the recovery header, and its safe
// replacement of the file.
void RecoveryWriteComplete(benchmark::State& state) {
    std::unique_ptr<Tgraph> g = MakeBenchGraph(TKind::Complete);
    const TGraphSnapshot saved(*g);
    MoveVertex(*g, 1, 1, 0);
    const std::string path = BenchFile(".recovery");
    for (auto _ : state) {
        if (saved.Matches(*g)) state.SkipWithError("the graph counts as saved");
        const TRecoveryContent content{1, g->fileName, std::string(), GraphFileText(*g)};
        if (ReplaceFile(path, RecoveryFileText(content)).step != TReplaceStep::None)
            state.SkipWithError("the recovery file could not be written");
    }
    std::remove(path.c_str());
}

// The export command's work after reading the file: the bytes (a picture sized to the drawing)
// and the safe replacement of the output file. Nothing is hovered, as after opening.
void ExportComplete(benchmark::State& state, TExportFormat format, const char* ending) {
    std::unique_ptr<Tgraph> g = MakeBenchGraph(TKind::Complete);
    for (int s = 1; s <= g->vertexCount; ++s)
        for (Tedge* e = g->edgeLists[s].get(); e; e = e->next.get()) e->hovered = false;
    const std::string path = BenchFile(ending);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = ExportBytes(*g, format, std::nullopt);
        bytes = file.size();
        SaveFileSafely(path, file);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    std::remove(path.c_str());
}

void ExportPngComplete(benchmark::State& s) { ExportComplete(s, TExportFormat::Png, ".png"); }
void ExportSvgComplete(benchmark::State& s) { ExportComplete(s, TExportFormat::Svg, ".svg"); }
void ExportPdfComplete(benchmark::State& s) { ExportComplete(s, TExportFormat::Pdf, ".pdf"); }
void ExportDotComplete(benchmark::State& s) { ExportComplete(s, TExportFormat::Dot, ".dot"); }
void ExportGraphMLComplete(benchmark::State& s) { ExportComplete(s, TExportFormat::GraphML, ".graphml"); }
void ExportTikzComplete(benchmark::State& s) { ExportComplete(s, TExportFormat::Tikz, ".tex"); }

// Hostile sizes: one vertex at (16300, 16300), a 16384 x 16384 picture almost all white, as PNG;
// two vertices joined by an edge whose weight is 50 MB of text, as SVG.
void ExportPngFarVertex(benchmark::State& state) {
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->created = true;
    AddVertex(*g, 16300, 16300);
    const std::string path = BenchFile(".png");
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = ExportBytes(*g, TExportFormat::Png, std::nullopt);
        bytes = file.size();
        SaveFileSafely(path, file);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    std::remove(path.c_str());
}

void ExportSvgLongWeight(benchmark::State& state) {
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->created = true;
    g->weighted = true;
    AddVertex(*g, 100, 100);
    AddVertex(*g, 400, 300);
    ConnectVertices(*g, 1, 2, "/*" + LongLabel("weight:", 50u << 20) + "*/ navy");
    if (g->edgeLists[1] == nullptr || g->edgeLists[1]->weight.size() != 50u << 20)
        state.SkipWithError("no 50 MB weight");
    const std::string path = BenchFile(".svg");
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = ExportBytes(*g, TExportFormat::Svg, std::nullopt);
        bytes = file.size();
        SaveFileSafely(path, file);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    std::remove(path.c_str());
}

// One undo or one redo, in turn, of a vertex moved in the complete graph: the graph's content
// taken for the other direction and the complete graph rebuilt from its step.
void UndoComplete(benchmark::State& state) {
    std::unique_ptr<Tgraph> g = MakeBenchGraph(TKind::Complete);
    TUndoHistory history;
    history.BeginChange(*g);
    MoveVertex(*g, 1, 5, 5);
    history.EndChange(*g);
    bool undo = true;
    for (auto _ : state) {
        if (!(undo ? history.Undo(*g) : history.Redo(*g))) state.SkipWithError("nothing to undo or redo");
        undo = !undo;
    }
}

// The analysis report with every item that applies, as --report writes it in JSON: the complete
// weighted digraph (distances by the weights), and the typical undirected graph.
void Report(benchmark::State& state, TKind kind) {
    std::unique_ptr<Tgraph> g = MakeBenchGraph(kind);
    for (auto _ : state) benchmark::DoNotOptimize(analysis::ReportJsonText(analysis::Report(*g)));
}
void ReportComplete(benchmark::State& s) { Report(s, TKind::Complete); }
void ReportTypical(benchmark::State& s) { Report(s, TKind::Typical); }

} // namespace

BENCHMARK(RedrawQtTypical)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawQtDense)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawQtComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawRasterTypical)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawRasterDense)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawRasterComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawLabels64Complete)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawLabels1000Complete)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawLongName4M)->Unit(benchmark::kMillisecond);
BENCHMARK(RasterFarCoordinates)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawPassTypical)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawPassComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawModelOnlyComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(HoverComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(RecoveryWriteComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadLabels1000Complete)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportPngComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportSvgComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportPdfComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportDotComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportGraphMLComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportTikzComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportPngFarVertex)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportSvgLongWeight)->Unit(benchmark::kMillisecond);
BENCHMARK(UndoComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(ReportComplete)->Unit(benchmark::kMillisecond);
BENCHMARK(ReportTypical)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts need the application object
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
