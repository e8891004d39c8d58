#include "ToolBar.h"

#include <QPainter>
#include <QToolButton>

namespace {

constexpr int ItemTop = 2;

class TToolSeparator : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int x = width() / 2 - 1;
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(x, 1, x, height() - 2);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(x + 1, 1, x + 1, height() - 2);
    }
};

} // namespace

TToolBar::TToolBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(Height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QToolButton* TToolBar::AddButton(const QIcon& icon, const QString& tooltip, bool checkable) {
    auto* button = new QToolButton(this);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tooltip);
    button->setAutoRaise(true);
    button->setCheckable(checkable);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(nextLeft, ItemTop, ButtonWidth, ButtonHeight);
    nextLeft += ButtonWidth;
    return button;
}

void TToolBar::AddSeparator(int width) {
    auto* separator = new TToolSeparator(this);
    separator->setGeometry(nextLeft, ItemTop, width, ButtonHeight);
    nextLeft += width;
}

void TToolBar::AddControl(QWidget* control, int width, int height) {
    control->setParent(this);
    control->setGeometry(nextLeft, ItemTop + (ButtonHeight - height) / 2, width, height);
    nextLeft += width;
}

void TToolBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, height() - 2, width() - 1, height() - 2);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
}
