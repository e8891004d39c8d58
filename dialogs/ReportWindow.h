#pragma once
// The analysis report of the graph as it was when asked for, as text in a read-only window beside
// the main window: monospace, selectable, copyable; Escape closes it. It changes nothing.

#include "Graph_obj.h"

#include <QWidget>

class QPlainTextEdit;

class TReportWindow : public QWidget {
public:
    explicit TReportWindow(QWidget& mainWindow);
    // The main window's report window, made on first use.
    static TReportWindow& Of(QWidget& mainWindow);
    // The one there is, or null.
    static TReportWindow* Find(QWidget& mainWindow);

    // Fills the window with g's report and shows it to the right of the main window.
    void ShowReport(const Tgraph& g);
    QString Text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget& mainWindow_;
    QPlainTextEdit* text_;
};
