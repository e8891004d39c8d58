#include "Plain.h"

#include "Geometry.h"
#include "Numbers.h"
#include "Text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace analysis {

bool ReadNumber(const std::string& text, double& value) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    const auto digit = [&](std::size_t k) { return k < n && text[k] >= '0' && text[k] <= '9'; };
    while (i < n && text[i] == ' ') ++i;
    const std::size_t first = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    while (digit(i)) ++i, digits = true;
    if (i < n && text[i] == '.') {
        ++i;
        while (digit(i)) ++i, digits = true;
    }
    if (!digits) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t k = i + 1;
        if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
        if (!digit(k)) return false;
        while (digit(k)) ++k;
        i = k;
    }
    const std::size_t last = i;
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return false;
    value = numbers::Parse(std::string_view(text).substr(first, last - first)).value_or(0);
    return std::isfinite(value);
}

TJson Num(double v) {
    if (std::nearbyint(v) == v && std::fabs(v) < 9.0e15) return TJson(static_cast<long long>(v));
    return TJson(v);
}

std::string NameOf(const Tgraph& g, int v) { return Utf8Text(g.vertices[v].name); }

TPlain PlainOf(const Tgraph& g) {
    TPlain p;
    p.n = geometry::HeldVertices(g);
    p.directed = g.directed;
    bool numeric = true;
    for (int s = 1; s <= p.n; ++s)
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get()) {
            // An undirected edge once, from its lower-numbered end, as the file holds it.
            if (e->target < 1 || e->target > p.n || (!g.directed && e->target < s)) continue;
            double value = std::numeric_limits<double>::quiet_NaN();
            if (!ReadNumber(e->weight, value)) numeric = false;
            p.edges.push_back({s - 1, e->target - 1, 1.0, value});
        }
    p.byWeights = g.weighted && numeric;
    for (TPlainEdge& e : p.edges) {
        if (p.byWeights) e.length = e.value;
        if (e.s != e.t) p.simple.push_back(std::minmax(e.s, e.t));
    }
    std::sort(p.simple.begin(), p.simple.end());
    p.simple.erase(std::unique(p.simple.begin(), p.simple.end()), p.simple.end());
    return p;
}

} // namespace analysis
