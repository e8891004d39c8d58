#pragma once
// The one geometry shared by drawing and hit testing: what is highlighted is what is drawn.
// All lengths are surface pixels.

#include "Graph_obj.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace geometry {

constexpr std::int32_t VertexRadius = 15;    // every vertex, new or loaded
constexpr long double LengthGuard = 0.0001L; // added to every centre distance
constexpr int PairOffset = 4;                // a paired directed edge is drawn this far to its left
constexpr int EdgeTolerance = 3;             // distance from an edge's drawn line that still hits it
constexpr long long EdgeTolerance2 = static_cast<long long>(EdgeTolerance) * EdgeTolerance;
// How far from the line through both centres a hit can lie: the paired offset, half a pixel for
// rounding the shifted foot, and the tolerance; 7.5 taken up to whole pixels.
constexpr int EdgeReach = PairOffset + 1 + EdgeTolerance;
constexpr int LoopRise = 30;      // self-loop hit circle: centre this far above the vertex
constexpr int LoopHitRadius = 16; // ... and radius (the circle itself excluded)
constexpr long long LoopHitRadius2 = static_cast<long long>(LoopHitRadius) * LoopHitRadius;
constexpr int LoopControlDx = 50; // self-loop Bezier control points (x +- 50, y - 51)
constexpr int LoopControlRise = 51;
constexpr int LoopLabelRise = 50; // top of a self-loop's weight label above the centre
constexpr int NameRise = 5;       // top of a vertex name above the centre
constexpr int ArrowNotch = 8;     // arrowhead notch, back from the target's radius
constexpr int ArrowBarbs = 10;    // arrowhead barbs, back from the target's radius
constexpr int ArrowHalfWidth = 3;
// A directed self-loop's arrowhead, relative to the vertex centre: a notched head whose tip
// touches the circle at its upper right. Fixed points, whatever the radius.
constexpr TPoint LoopArrowhead[4] = {{10, -12}, {17, -19}, {13, -19}, {11, -22}};
constexpr int PictureMargin = 10;     // an exported picture's margin right of and below the drawing
constexpr int MaxPictureSide = 16384; // the widest and tallest picture an export paints
// The page's measures: the surface has 96 pixels an inch, so a pixel is 0.75 pt, and Graphviz,
// which measures nodes in inches, is given the vertex's diameter in inches.
constexpr int PixelsPerInch = 96;
constexpr double PointsPerPixel = 72.0 / PixelsPerInch;
constexpr double VertexInches = 2.0 * VertexRadius / PixelsPerInch;
// A picture file's resolution, 96 dpi as pixels per metre (rounded as the formats store it).
constexpr int PixelsPerMetre = 3780;

// The raster rules that decide which pixels a shape covers, shared by the raster canvas that
// paints them and the picture bounds that size an export to hold them.
//
// A curve is drawn as BezierPieces straight pieces through the points B(k / BezierPieces) of the
// cubic, k = 0..BezierPieces, each rounded to the nearest pixel, halves to the even neighbour:
// exact in 64-bit integers, since B(k/32) * 32^3 has integer weights.
constexpr int BezierPieces = 32;
inline TPoint BezierPoint(const TPoint (&p)[4], int k) {
    constexpr long long Scale = static_cast<long long>(BezierPieces) * BezierPieces * BezierPieces;
    const long long m = BezierPieces - k, n = k;
    const long long c0 = m * m * m, c1 = 3 * m * m * n, c2 = 3 * m * n * n, c3 = n * n * n;
    auto round = [](long long v) { // v / Scale, to the nearest integer, a half to the even one
        long long q = v / Scale, rem = v % Scale;
        if (rem < 0) rem += Scale, --q;
        if (rem > Scale / 2 || (rem == Scale / 2 && (q & 1))) ++q;
        return static_cast<int>(q);
    };
    return {round(c0 * p[0].x + c1 * p[1].x + c2 * p[2].x + c3 * p[3].x),
            round(c0 * p[0].y + c1 * p[1].y + c2 * p[2].y + c3 * p[3].y)};
}
// A pen of width w paints a w x w square around each pixel of a line: from PenBefore(w) pixels
// left of and above it to w - 1 - PenBefore(w) right of and below it.
constexpr long long PenBefore(int width) { return (width - 1) / 2; }

// The vertex numbers whose table entries and lists may be read: 1..HeldVertices(g), even when
// a broken record's vertexCount lies outside 0..MaxVertices.
inline int HeldVertices(const Tgraph& g) { return std::clamp(g.vertexCount, 0, MaxVertices); }

// Clamps a 64-bit coordinate into the 32-bit range of the canvas.
inline int ClampInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

// Rounds to the nearest integer, halves to the even neighbour (150.5 -> 150, 151.5 -> 152).
inline int Nearest(long double v) {
    if (!(v == v)) return 0;
    if (v >= static_cast<long double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<long double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(std::rintl(v)); // the default rounding mode: to nearest, ties to even
}

// Adds with 32-bit wrap-around instead of undefined overflow.
inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// The frame of one edge node held in list s, going to t != s.
struct TEdgeFrame {
    long long x1, y1, r1, x2, y2, r2; // centres and radii of the two ends
    long long dx, dy;                 // x2 - x1, y2 - y1
    long double len;                  // centre distance plus the length guard
    long double ox, oy;               // offset to the drawn line: (4 dy/L, -4 dx/L) when paired
    bool paired;                      // directed graph and the opposite edge exists
};

inline TEdgeFrame EdgeFrame(const Tgraph& g, int s, const Tedge& node) {
    const Tvertex& a = g.vertices[s];
    const Tvertex& b = g.vertices[node.target];
    TEdgeFrame f;
    f.x1 = a.x;
    f.y1 = a.y;
    f.r1 = a.radius;
    f.x2 = b.x;
    f.y2 = b.y;
    f.r2 = b.radius;
    f.dx = f.x2 - f.x1;
    f.dy = f.y2 - f.y1;
    const long double ldx = f.dx, ldy = f.dy;
    f.len = std::sqrt(ldx * ldx + ldy * ldy) + LengthGuard;
    f.paired = g.directed && node.twin != nullptr;
    f.ox = f.paired ? PairOffset * f.dy / f.len : 0.0L;
    f.oy = f.paired ? -PairOffset * f.dx / f.len : 0.0L;
    return f;
}

} // namespace geometry
