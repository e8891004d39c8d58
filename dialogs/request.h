#pragma once
// The one-line text prompt used to rename a vertex or reweight an edge.

#include "SecondaryWindow.h"

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

class TForm3 : public TSecondaryWindow {
public:
    explicit TForm3(QWidget& mainWindow);
    ~TForm3() override;

    QLineEdit* Edit1;
    QPushButton* Button1; // "OK", the default button

    void Button1Click();
};

// The text of Edit1 when OK was last pressed, and whether OK has been pressed since the current
// prompt opened.
extern std::string promptResult;
extern bool promptConfirmed;

// Shows the prompt window with caption and text in Edit1 (both 8-bit texts, shown as
// DecodeText reads them) and waits, dispatching the program's events and sleeping while there
// are none, until OK is pressed, ownerClosing (when given) returns true, or the user closes the
// prompt with its title-bar control. The main window passes its closing flag as ownerClosing.
// Then hides the prompt and sets result:
//   OK                        -> the confirmed text (promptResult);
//   ownerClosing true         -> promptResult as it stands, possibly from an earlier prompt;
//   the prompt's close control -> text, unchanged.
// Uses the one TForm3 that exists; there must be one.
void PromptText(std::string caption, std::string text, std::string& result,
                const std::function<bool()>& ownerClosing = {});
