#include "request.h"

#include "ErrorHandler.h"
#include "TextCodec.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>

#include <cassert>

std::string promptResult;
bool promptConfirmed = false;

namespace {

constexpr int ClientWidth = 241, ClientHeight = 108;
constexpr int DesignLeft = 455, DesignTop = 425;

// The prompt window that PromptText shows; start-up creates exactly one.
TForm3* promptWindow = nullptr;

} // namespace

TForm3::TForm3(QWidget& owner) : TSecondaryWindow(owner) {
    setWindowTitle(QStringLiteral("Form3"));
    setFixedSize(ClientWidth, ClientHeight);
    move(DesignLeft, DesignTop);

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(24, 24, 193, 21);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(24, 64, 193, 25);
    // Enter in Edit1 reaches the dialog, which presses its default button.
    Button1->setDefault(true);
    setTabOrder(Edit1, Button1);

    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
    promptWindow = this;
}

TForm3::~TForm3() {
    if (promptWindow == this) promptWindow = nullptr;
}

// OK does not hide the prompt; the waiting PromptText does once it sees the confirmation.
void TForm3::Button1Click() {
    promptResult = EncodeText(Edit1->text());
    promptConfirmed = true;
}

void PromptText(std::string caption, std::string text, std::string& result, const std::function<bool()>& ownerClosing) {
    assert(promptWindow);
    TForm3& form = *promptWindow;
    form.setWindowTitle(DecodeText(caption));
    form.Edit1->setText(DecodeText(text));
    form.show(); // its show handler disables the main window
    form.Edit1->setFocus();
    form.Edit1->selectAll();
    promptConfirmed = false;

    // One pass over whatever is pending, then sleep until the next event instead of spinning.
    // The close control only hides the window, so a hidden prompt also ends the wait.
    const auto closing = [&ownerClosing] { return ownerClosing && ownerClosing(); };
    QCoreApplication::processEvents();
    while (!promptConfirmed && !closing() && form.isVisible())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    if (promptConfirmed || closing())
        result = promptResult;
    else
        result = text; // closed by its title-bar control: nothing changes for the caller
    form.hide();       // its hide handler enables the main window
}
