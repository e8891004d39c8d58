#include "SvgCanvas.h"

#include "Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Class k as letters: a..z, ba, bb, ...
std::string ClassName(std::size_t k) {
    std::string out;
    do {
        out.insert(out.begin(), static_cast<char>('a' + k % 26));
        k /= 26;
    } while (k);
    return out;
}

// The text escaped for XML as every file the program writes escapes it; a lone surrogate, which
// no UTF-8 can hold, becomes a space like the characters no XML file may hold.
void AppendText(std::string& out, const QString& text) {
    QString whole = text;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (whole[i].isHighSurrogate() && i + 1 < whole.size() && whole[i + 1].isLowSurrogate())
            ++i;
        else if (whole[i].isSurrogate())
            whole[i] = QLatin1Char(' ');
    }
    out += XmlEscaped(PrintableUtf8(whole.toStdString()));
}

} // namespace

TSvgCanvas::TSvgCanvas(int width, int height) : width_(std::max(width, 0)), height_(std::max(height, 0)) {}

void TSvgCanvas::SetSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

void TSvgCanvas::Number(long long v) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    body_.append(text, end);
}

void TSvgCanvas::Half(long long twice) {
    if (twice < 0 && twice % 2 != 0) { // -0.5, -1.5, ...
        body_ += '-';
        twice = -twice;
    }
    Number(twice / 2);
    if (twice % 2 != 0) body_ += ".5";
}

void TSvgCanvas::Point(long long x, long long y) {
    Number(x);
    body_ += ',';
    Number(y);
}

void TSvgCanvas::Open(const char* name, TPaint paint, TColor fill) {
    key_.clear();
    if (paint != TPaint::Fill) {
        key_ += "stroke:" + HexColor(pen_);
        if (penWidth_ != 1) key_ += ";stroke-width:" + std::to_string(penWidth_);
    }
    if (paint != TPaint::Stroke) key_ += (key_.empty() ? "fill:" : ";fill:") + HexColor(fill);
    auto found = styleIndex_.find(key_);
    if (found == styleIndex_.end()) {
        found = styleIndex_.emplace(key_, styles_.size()).first;
        styles_.push_back(key_);
    }
    body_ += '<';
    body_ += name;
    body_ += " class=\"";
    body_ += ClassName(found->second);
    body_ += "\" ";
}

// The rest of a rect element opened by Open: its box, and its end.
void TSvgCanvas::RectBox(long long x, long long y, long long width, long long height) {
    body_ += "x=\"";
    Number(x);
    body_ += "\" y=\"";
    Number(y);
    body_ += "\" width=\"";
    Number(width);
    body_ += "\" height=\"";
    Number(height);
    body_ += "\"/>\n";
}

void TSvgCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    const long long l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    if (r - l < 1 || b - t < 1) return;
    Open("rect", TPaint::StrokeFill, brush_);
    RectBox(l, t, r - l - 1, b - t - 1);
}

void TSvgCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    const long long l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    if (r - l < 1 || b - t < 1) return;
    const bool circle = r - l == b - t;
    Open(circle ? "circle" : "ellipse", TPaint::StrokeFill, brush_);
    body_ += "cx=\"";
    Half(l + r - 1);
    body_ += "\" cy=\"";
    Half(t + b - 1);
    body_ += circle ? "\" r=\"" : "\" rx=\"";
    Half(r - l - 1);
    if (!circle) {
        body_ += "\" ry=\"";
        Half(b - t - 1);
    }
    body_ += "\"/>\n";
}

void TSvgCanvas::LineTo(int x, int y) {
    Open("polyline", TPaint::Stroke, 0);
    body_ += "points=\"";
    Point(x_, y_);
    body_ += ' ';
    Point(x, y);
    body_ += "\"/>\n";
    x_ = x, y_ = y;
}

void TSvgCanvas::Polygon(const TPoint* points, int count) {
    if (!points || count < 2) return;
    Open("polygon", TPaint::StrokeFill, brush_);
    body_ += "points=\"";
    for (int k = 0; k < count; ++k) {
        if (k) body_ += ' ';
        Point(points[k].x, points[k].y);
    }
    body_ += "\"/>\n";
}

void TSvgCanvas::PolyBezier(const TPoint (&p)[4]) {
    Open("path", TPaint::Stroke, 0);
    body_ += "d=\"M";
    Point(p[0].x, p[0].y);
    body_ += 'C';
    for (int k = 1; k < 4; ++k) {
        if (k > 1) body_ += ' ';
        Point(p[k].x, p[k].y);
    }
    body_ += "\"/>\n";
    x_ = p[3].x, y_ = p[3].y;
}

void TSvgCanvas::TextOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    const long long w = texts_.Width(text), h = texts_.LineHeight();
    if (w <= 0) return;
    // The cell, as far as the picture shows it.
    const long long l = std::max<long long>(x, -1), r = std::min<long long>(x + w, width_ + 1);
    if (l < r && y + h > -1 && y < height_ + 1) {
        Open("rect", TPaint::Fill, brush_);
        RectBox(l, y, r - l, h);
    }

    // Every text keeps its element, with the characters near the picture.
    const TTextRaster::TPart part = texts_.VisiblePart(text, x, 0, width_);
    Open("text", TPaint::Fill, font_);
    body_ += "x=\"";
    if (part.pen % 64 == 0) {
        Number(x + part.pen / 64);
    } else {
        char number[32];
        const auto end =
            std::to_chars(number, number + sizeof number, x + part.pen / 64.0, std::chars_format::fixed, 3).ptr;
        body_.append(number, end);
    }
    body_ += "\" y=\"";
    Number(static_cast<long long>(y) + texts_.Ascent());
    body_ += "\">";
    AppendText(body_, part.text);
    body_ += "</text>\n";
}

std::string TSvgCanvas::Finish(const std::string& title) const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg width=\"";
    out += std::to_string(width_) + "\" height=\"" + std::to_string(height_) + "\" viewBox=\"-0.5 -0.5 " +
           std::to_string(width_) + " " + std::to_string(height_) +
           "\" xmlns=\"http://www.w3.org/2000/svg\" fill=\"none\" stroke-linecap=\"square\" "
           "stroke-linejoin=\"miter\" font-family=\"DejaVu Sans\" font-size=\"11\" xml:space=\"preserve\">\n<title>";
    AppendText(out, QString::fromStdString(title));
    out += "</title>\n<style>\n";
    for (std::size_t k = 0; k < styles_.size(); ++k) out += "." + ClassName(k) + "{" + styles_[k] + "}\n";
    out += "</style>\n<rect x=\"-1\" y=\"-1\" width=\"" + std::to_string(width_ + 2) + "\" height=\"" +
           std::to_string(height_ + 2) + "\" fill=\"#ffffff\"/>\n";
    out.reserve(out.size() + body_.size() + 8);
    out += body_;
    out += "</svg>\n";
    return out;
}
