#include "request.h"

#include "TForm1.h"
#include "TextCodec.h"

#include <QLineEdit>
#include <QPushButton>

std::string promptResult;
bool promptConfirmed = false;

namespace {

constexpr int ClientWidth = 241, ClientHeight = 108;
constexpr int DesignLeft = 455, DesignTop = 425;

} // namespace

TForm3::TForm3(TForm1& form1) : TSecondaryWindow(form1), form1(form1) {
    setWindowTitle(QStringLiteral("Form3"));
    setFixedSize(ClientWidth, ClientHeight);
    move(DesignLeft, DesignTop);

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(24, 24, 193, 21);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(24, 64, 193, 25);
    Button1->setDefault(true);
    setTabOrder(Edit1, Button1);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

// OK does not hide the prompt; the waiting PromptText does once it sees the confirmation.
void TForm3::Button1Click() {
    promptResult = EncodeText(Edit1->text());
    promptConfirmed = true;
}
