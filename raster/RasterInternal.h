#pragma once
// What the raster canvas's files share: the pixel form, exact integer division, and the target
// of one shape (the image's pixels and the paintable box). Not part of the canvas's interface.

#include "RasterCanvas.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace raster {

__extension__ using Int128 = __int128;
using u32 = std::uint32_t;

inline u32 ToPixel(TColor c) { return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu); }
inline TColor FromPixel(u32 p) { return (p >> 16 & 0xFFu) | (p & 0xFF00u) | (p & 0xFFu) << 16; }

inline bool FitsInt64(Int128 v) { return v >= LLONG_MIN / 2 && v <= LLONG_MAX / 2; }

// floor(n / d) for d > 0, in 64-bit arithmetic whenever the operands allow it.
inline long long FloorDiv(Int128 n, Int128 d) {
    if (FitsInt64(n) && FitsInt64(d)) {
        const long long a = static_cast<long long>(n), b = static_cast<long long>(d);
        long long q = a / b;
        if (a % b != 0 && a < 0) --q;
        return q;
    }
    Int128 q = n / d;
    if (n % d != 0 && n < 0) --q;
    return static_cast<long long>(q);
}
inline long long CeilDiv(Int128 n, Int128 d) { return -FloorDiv(-n, d); }

} // namespace raster

struct TRasterCanvas::TTarget {
    raster::u32* bits;        // the pixel of the image's first row and column
    std::ptrdiff_t stride;    // in pixels
    long long row0;           // the picture row of the image's first row
    long long x1, y1, x2, y2; // the paintable box in picture coordinates, right and bottom exclusive
    raster::u32* Row(long long y) const { return bits + (y - row0) * stride; }
};

// Inline: the shapes of every file paint their rows through it.
inline void TRasterCanvas::FillSpan(const TTarget& t, long long y, long long xa, long long xb, raster::u32 px) const {
    if (y < t.y1 || y >= t.y2) return;
    xa = std::max(xa, t.x1);
    xb = std::min(xb, t.x2);
    if (xa >= xb) return;
    std::fill_n(t.Row(y) + xa, xb - xa, px);
}
