#pragma once
// The new-graph settings window: directed, weighted and the base colour. Shown and hidden, never
// rebuilt, so it keeps the user's last choices; Create hides it and hands them to its opener.

#include "Colors.h"
#include "SecondaryWindow.h"

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class TColorBox;

// What Create hands over: the kind of graph and its base colour.
struct TGraphSettings {
    bool directed = false;
    bool weighted = false;
    TColor baseColor = colors::Black;
};

class TForm2 : public TSecondaryWindow {
public:
    explicit TForm2(QWidget& mainWindow);

    QCheckBox* CheckBox1; // "directed"
    QCheckBox* CheckBox2; // "weighted"
    QLabel* Label1;
    TColorBox* ColorBox1;
    QPushButton* Button1; // "Create", the default button

    void Button1Click();

    // Runs on Create, once the window is hidden; the main window makes the new graph with it.
    std::function<void(const TGraphSettings&)> OnCreate;
};
