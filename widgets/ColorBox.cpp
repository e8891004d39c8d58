#include "ColorBox.h"

#include "Colors.h"
#include "QtColor.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace {

constexpr int SwatchSize = 12;
constexpr int ItemHeight = 16;

// Rows of the drop-down list ItemHeight pixels high. The combo box's own delegate sizes them as
// menu items, which the style makes taller.
class TItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight);
    }
};

QIcon Swatch(TColor color) {
    QPixmap pixmap(SwatchSize, SwatchSize);
    pixmap.fill(ToQColor(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, SwatchSize - 1, SwatchSize - 1);
    return QIcon(pixmap);
}

QString Capitalised(const char* name) {
    QString text = QString::fromLatin1(name);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

} // namespace

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(SwatchSize, SwatchSize));
    setMaxVisibleItems(16);
    setItemDelegate(new TItemDelegate(this));
    for (const TColorEntry& entry : ColorTable)
        addItem(Swatch(entry.value), Capitalised(entry.name), QVariant::fromValue<uint>(entry.value));
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, [this](int) {
        if (OnChange) OnChange();
    });
}

TColor TColorBox::Selected() const { return static_cast<TColor>(currentData().toUInt()); }

void TColorBox::SetSelected(TColor color) {
    const int index = findData(QVariant::fromValue<uint>(color));
    if (index >= 0) setCurrentIndex(index);
}
