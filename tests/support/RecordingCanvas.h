#pragma once
// A canvas that logs every drawing call as text, so tests can check coordinates exactly.
// Text is measured as 6 pixels a character and 13 pixels high.

#include "Canvas.h"

#include <cstdio>
#include <string>
#include <vector>

class TRecordingCanvas : public TCanvas {
public:
    std::vector<std::string> calls;
    TColor pen = 0, brush = 0, font = 0;
    int penWidth = 1;

    void SetPenColor(TColor c) override { pen = c; }
    TColor PenColor() const override { return pen; }
    void SetPenWidth(int w) override { penWidth = w; }
    void SetBrushColor(TColor c) override { brush = c; }
    void SetFontColor(TColor c) override { font = c; }
    TColor Pixel(int, int) const override { return colors::White; }
    void Rectangle(int x1, int y1, int x2, int y2) override { Log("Rectangle", {x1, y1, x2, y2}, pen, brush); }
    void Ellipse(int x1, int y1, int x2, int y2) override { Log("Ellipse", {x1, y1, x2, y2}, pen, brush); }
    void MoveTo(int x, int y) override { Log("MoveTo", {x, y}, pen, brush); }
    void LineTo(int x, int y) override { Log("LineTo", {x, y}, pen, brush); }
    void Polygon(const TPoint* p, int count) override {
        std::vector<int> v;
        for (int i = 0; i < count; ++i) {
            v.push_back(p[i].x);
            v.push_back(p[i].y);
        }
        Log("Polygon", v, pen, brush);
    }
    void PolyBezier(const TPoint (&p)[4]) override {
        Log("PolyBezier", {p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y}, pen, brush);
    }
    void TextOut(int x, int y, const std::string& text) override {
        Log("TextOut", {x, y}, font, brush);
        calls.back() += " '" + text + "'";
    }
    int TextWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return 13; }

    // The calls whose text starts with prefix (for example "Polygon"), in order.
    std::vector<std::string> Only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
        return out;
    }

private:
    // "Name(1,2,3,4) ink=RRGGBB fill=RRGGBB", colours as 0x00BBGGRR in hex.
    void Log(const char* name, const std::vector<int>& v, TColor ink, TColor fill) {
        std::string s = name;
        s += '(';
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (i) s += ',';
            s += std::to_string(v[i]);
        }
        char colours[40];
        std::snprintf(colours, sizeof colours, ") ink=%06X fill=%06X", ink, fill);
        calls.push_back(s + colours);
    }
};
