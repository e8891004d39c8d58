#pragma once
// A status bar of two sunken text panels: panel 0 of a fixed width, panel 1 the rest of the bar.

#include <QWidget>

class QLabel;

class TStatusBar : public QWidget {
public:
    static constexpr int Height = 24;
    static constexpr int Panel0Width = 150;

    explicit TStatusBar(QWidget* parent = nullptr);

    // index 0 or 1; other indexes are ignored (read back as empty).
    void SetPanelText(int index, const QString& text);
    QString PanelText(int index) const;
    QLabel* Panel(int index) const;
    // Panel 0 is Panel0Width wide unless a wider one is set here.
    void SetPanel0Width(int width);

private:
    QLabel* panels[2];
};
