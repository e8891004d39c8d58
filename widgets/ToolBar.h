#pragma once
// A flat toolbar that places its items left to right at fixed offsets: buttons 23 pixels apart,
// separators of a given width, and other controls at their own width. A raised edge runs along
// its bottom.

#include <QWidget>

class QToolButton;

class TToolBar : public QWidget {
public:
    static constexpr int Height = 28;
    static constexpr int ButtonWidth = 23;
    static constexpr int ButtonHeight = 22;

    explicit TToolBar(QWidget* parent = nullptr);

    // A flat picture button with a tooltip; checkable ones keep their down state.
    QToolButton* AddButton(const QIcon& icon, const QString& tooltip, bool checkable);
    void AddSeparator(int width);
    // Places a control of the given size; it is centred vertically like the buttons.
    void AddControl(QWidget* control, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int nextLeft = 0;
};
