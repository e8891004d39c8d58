#include "formsettings.h"

#include "ColorBox.h"
#include "ErrorHandler.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int ClientWidth = 256, ClientHeight = 110;
constexpr int DesignLeft = 468, DesignTop = 350;

} // namespace

TForm2::TForm2(QWidget& owner) : TSecondaryWindow(owner) {
    setWindowTitle(QStringLiteral("Graph Settings"));
    setFixedSize(ClientWidth, ClientHeight);
    move(DesignLeft, DesignTop);

    CheckBox1 = new QCheckBox(QStringLiteral("directed"), this);
    CheckBox1->setGeometry(8, 8, 113, 17);
    CheckBox2 = new QCheckBox(QStringLiteral("weighted"), this);
    CheckBox2->setGeometry(8, 40, 113, 17);
    Label1 = new QLabel(QStringLiteral("Basecolor"), this);
    // DejaVu Sans is wider than the classic dialog font: the label grows to show its whole text.
    Label1->setGeometry(144, 8, std::max(47, Label1->sizeHint().width()), 13);
    ColorBox1 = new TColorBox(this);
    ColorBox1->setGeometry(144, 40, 105, 22);
    Button1 = new QPushButton(QStringLiteral("Create"), this);
    Button1->setGeometry(8, 72, 241, 25);
    Button1->setDefault(true);

    setTabOrder(CheckBox1, CheckBox2);
    setTabOrder(CheckBox2, ColorBox1);
    setTabOrder(ColorBox1, Button1);

    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
}

void TForm2::Button1Click() {
    hide();
    TGraphSettings settings;
    settings.directed = CheckBox1->isChecked();
    settings.weighted = CheckBox2->isChecked();
    settings.baseColor = ColorBox1->Selected();
    if (OnCreate) OnCreate(settings);
}
