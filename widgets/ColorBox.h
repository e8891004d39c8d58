#pragma once
// A combo box of the sixteen table colours, each shown as a swatch and its name with an initial
// capital, in rows 16 pixels high. Only the user's selections run OnChange; SetSelected is silent.

#include "Colors.h"

#include <QComboBox>

#include <functional>

class TColorBox : public QComboBox {
public:
    explicit TColorBox(QWidget* parent = nullptr);

    TColor Selected() const;
    // Selects the table entry of that colour; a colour outside the table leaves the selection.
    void SetSelected(TColor color);

    std::function<void()> OnChange;
};
