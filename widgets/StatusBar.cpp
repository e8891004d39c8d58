#include "StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(Height);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    for (QLabel*& panel : panels) {
        panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        layout->addWidget(panel);
    }
    panels[0]->setFixedWidth(Panel0Width);
    layout->setStretch(1, 1);
}

void TStatusBar::SetPanelText(int index, const QString& text) {
    if (index == 0 || index == 1) panels[index]->setText(text);
}

QString TStatusBar::PanelText(int index) const { return index == 0 || index == 1 ? panels[index]->text() : QString(); }

QLabel* TStatusBar::Panel(int index) const { return index == 0 || index == 1 ? panels[index] : nullptr; }

void TStatusBar::SetPanel0Width(int width) { panels[0]->setFixedWidth(width); }
