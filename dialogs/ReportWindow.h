#pragma once
// The analysis report of the graph, kept up to date while shown, as text in a read-only window
// beside the main window: monospace, selectable, copyable; Escape closes it. It changes nothing.

#include "Graph_obj.h"

#include <QString>
#include <QWidget>

#include <functional>

class QPlainTextEdit;
class TResultChooser;

// What the panel's choosers ask of the main window; an unset one does nothing.
struct TPanelRequests {
    std::function<void(const QString& result)> showResult; // as --show names it: "path:A,C", "mst", ...
    std::function<void(const QString& trace)> showTrace;   // as --trace names it: "bfs:A", "kruskal", ...
    std::function<void()> hide;                            // the shown result or trace goes
    std::function<void(int delta)> step;                   // the shown trace: +1 the next step, -1 the previous
};

// What the main window shows now, for the panel's step control.
struct TShownState {
    QString shown;    // the result or trace as named, empty for none
    QString stepText; // a trace's "Step k of n: ...", empty for a result or none
    bool canGoBack = false, canGoOn = false;
};

class TReportWindow : public QWidget {
public:
    explicit TReportWindow(QWidget& mainWindow);
    // The main window's report window, made on first use.
    static TReportWindow& Of(QWidget& mainWindow);
    // The one there is, or null.
    static TReportWindow* Find(QWidget& mainWindow);

    // Fills the window with g's report and shows it beside the main window: to its right, else to
    // its left, else below it, where the screen has room.
    void ShowReport(const Tgraph& g);
    // While the window is shown: its text becomes g's report, the reader's scroll place kept.
    void Follow(const Tgraph& g);
    // The main window's answers to the choosers, and what it shows after each redraw.
    void SetRequests(TPanelRequests requests);
    void SetShownState(const TShownState& state);
    // Where a window of outer size `outer` stands beside the main window's frame `main` on the
    // screen's free area `room`; height (the inside's) is lowered where only the room below fits.
    static QPoint PlaceBeside(const QRect& main, const QSize& outer, const QRect& room, int& height);

    static constexpr int DefaultWidth = 560, DefaultHeight = 600, MinimumHeight = 200;
    QString Text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget& mainWindow_;
    QPlainTextEdit* text_;
    TResultChooser* chooser_;
    std::string reportKey_; // the StructureKey of the graph the text reports
};
