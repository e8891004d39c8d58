#include "QuestionBox.h"

#include <QPushButton>

int AskQuestion(QWidget* parent, const QString& text, const std::vector<TBoxButton>& buttons, int defaultButton,
                int escapeButton) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Nodeloom"), text, QMessageBox::NoButton, parent);
    std::vector<QPushButton*> added;
    for (const TBoxButton& button : buttons) added.push_back(box.addButton(button.text, button.role));
    box.setDefaultButton(added.at(static_cast<std::size_t>(defaultButton)));
    // An answer of its own for Escape: a button never shown, which the box clicks for Escape.
    QPushButton* none = nullptr;
    if (escapeButton < 0) {
        none = box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
        none->hide();
    }
    box.setEscapeButton(none ? none : added.at(static_cast<std::size_t>(escapeButton)));
    box.exec();
    for (std::size_t k = 0; k < added.size(); ++k)
        if (box.clickedButton() == added[k]) return static_cast<int>(k);
    return escapeButton;
}
