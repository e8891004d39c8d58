#pragma once
// The one-line text prompt used to rename a vertex or reweight an edge.

#include "SecondaryWindow.h"

#include <string>

class QLineEdit;
class QPushButton;
class TForm1;

class TForm3 : public TSecondaryWindow {
public:
    explicit TForm3(TForm1& form1);

    QLineEdit* Edit1;
    QPushButton* Button1; // "OK", the default button

    void Button1Click();

    TForm1& form1; // its appClosing ends the prompt's wait
};

// The text of Edit1 when OK was last pressed, and whether OK has been pressed since the current
// prompt opened.
extern std::string promptResult;
extern bool promptConfirmed;

// Shows the prompt with caption and text, waits (dispatching the program's events) until OK or
// until the main window closes, hides the prompt and puts the confirmed text into result.
// Defined with the rename and reweight handlers that use it.
void PromptText(std::string caption, std::string text, std::string& result);
