#pragma once
// The new-graph settings window: directed, weighted and the base colour. Shown and hidden, never
// rebuilt, so it keeps the user's last choices; Create empties the live graph and gives it them.

#include "SecondaryWindow.h"

class QCheckBox;
class QLabel;
class QPushButton;
class TColorBox;
class TForm1;

class TForm2 : public TSecondaryWindow {
public:
    explicit TForm2(TForm1& form1);

    QCheckBox* CheckBox1; // "directed"
    QCheckBox* CheckBox2; // "weighted"
    QLabel* Label1;
    TColorBox* ColorBox1;
    QPushButton* Button1; // "Create", the default button

    void Button1Click();

private:
    TForm1& form1;
};
