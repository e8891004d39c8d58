#include "Fonts.h"

QFont WindowFontOfSize(int pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    return font;
}

QFont WindowFont() { return WindowFontOfSize(11); }

QFont CanvasFont() {
    QFont font = WindowFontOfSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
