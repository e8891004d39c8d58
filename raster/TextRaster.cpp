#include "TextRaster.h"

#include "Fonts.h"
#include "TextCodec.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace {

using u32 = std::uint32_t;

// The device the canvas's texts are measured and laid out for: an image, as they are painted on.
const QImage& Device() {
    static const QImage device(1, 1, QImage::Format_RGB32);
    return device;
}

std::int64_t ToUnits(qreal pixels) { return std::llround(pixels * 64); }

long long FloorDiv64(std::int64_t v) { return v >> 6; } // arithmetic shift: floor

// One glyph as Qt places it: font number << 32 | glyph index, pen offset and baseline offset
// in 1/64 pixel.
using TGlyphAt = std::tuple<std::int64_t, std::uint64_t, std::int64_t>;

} // namespace

TTextRaster::TTextRaster() : font_(CanvasFont()) {
    const QFontMetrics metrics(font_, &Device());
    ascent_ = metrics.ascent();
    lineHeight_ = metrics.height();
    margin_ = lineHeight_;
    singles_.assign(0x10000, -1);
    plain_.assign(0x10000, 0);
    joinSmall_.assign(SmallPieces * SmallPieces, Unknown);
    asciiSteps_.assign(128 * 128, UnknownStep);
}

void TTextRaster::ClearPieces() {
    ++generation_;
    pieces_.clear();
    spanCount_ = 0;
    pieceIndex_.clear();
    std::fill(singles_.begin(), singles_.end(), -1);
    std::fill(joinSmall_.begin(), joinSmall_.end(), Unknown);
    std::fill(asciiSteps_.begin(), asciiSteps_.end(), UnknownStep);
    join_.clear();
}

// Right-to-left and bidirectional controls reorder the whole line, tabs depend on the position,
// control and format characters take part in Qt's own handling of the line, and marks and the
// letters of scripts with contextual shaping are shaped by the script of their surroundings:
// a text holding any of them is laid out by Qt as a whole.
bool TTextRaster::NeedsWhole(char32_t c) const {
    switch (QChar::direction(c)) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirAN:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirPDF:
    case QChar::DirRLI:
    case QChar::DirLRI:
    case QChar::DirFSI:
    case QChar::DirPDI:
    case QChar::DirB:
    case QChar::DirS: return true;
    default: break;
    }
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing: return true;
    default: break;
    }
    switch (QChar::script(c)) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
    case QChar::Script_Armenian:
    case QChar::Script_Georgian: return false;
    default: return true;
    }
}

// What a unit of the basic plane is: 1 plain, a character that may stand at a cut (a spacing
// character of a script shaped without context); 2 neither plain nor needing the whole text;
// 3 needing the whole text.
std::uint8_t TTextRaster::Kind(char16_t c, bool create) {
    std::uint8_t& known = plain_[c];
    if (known == 0 && create) {
        const QChar ch(c);
        const QChar::Category category = ch.category();
        const bool assigned = category != QChar::Other_Surrogate && category != QChar::Other_PrivateUse &&
                              category != QChar::Other_NotAssigned;
        known = ch.isSurrogate()                                                                ? 2
                : NeedsWhole(c)                                                                 ? 3
                : assigned && ch.direction() != QChar::DirNSM && ch.direction() != QChar::DirBN ? 1
                                                                                                : 2;
    }
    return known;
}

// The glyphs Qt lays the text out with, sorted by position.
std::vector<std::uint64_t> TTextRaster::Shape(const QString& text) {
    QTextLayout layout(text, font_, const_cast<QImage*>(&Device()));
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const std::int64_t baseline = line.isValid() ? ToUnits(line.ascent()) : 0;
    std::vector<TGlyphAt> placed;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        std::size_t number = 0;
        while (number < fonts_.size() && !(fonts_[number] == raw)) ++number;
        if (number == fonts_.size()) fonts_.push_back(raw);
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype k = 0; k < indexes.size() && k < positions.size(); ++k)
            placed.emplace_back(ToUnits(positions[k].x()), static_cast<std::uint64_t>(number) << 32 | indexes[k],
                                ToUnits(positions[k].y()) - baseline);
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const TGlyphAt& a, const TGlyphAt& b) { return std::get<0>(a) < std::get<0>(b); });
    std::vector<std::uint64_t> out;
    out.reserve(placed.size() * 3);
    for (const TGlyphAt& p : placed) {
        out.push_back(static_cast<std::uint64_t>(std::get<0>(p)));
        out.push_back(std::get<1>(p));
        out.push_back(static_cast<std::uint64_t>(std::get<2>(p)));
    }
    return out;
}

// A w x h white image with the text in black, its cell's top-left at (x, y), as Qt paints it.
QImage TTextRaster::Letters(int w, int h, int x, int y, const QString& text) const {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font_);
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(QPoint(x, y + ascent_), text);
    painter.end();
    return image;
}

// The piece's pixels as Qt paints it alone, black on white, kept as spans.
void TTextRaster::Render(TPiece& piece) const {
    const int m = margin_;
    const long long advance = std::max<long long>(0, FloorDiv64(piece.advance + 63));
    const QImage image = Letters(static_cast<int>(advance) + 2 * m, lineHeight_ + 2 * m, m, m, piece.text);
    piece.left = piece.top = INT32_MAX;
    piece.right = piece.bottom = INT32_MIN;
    for (int row = 0; row < image.height(); ++row) {
        const u32* line = reinterpret_cast<const u32*>(image.constScanLine(row));
        for (int col = 0; col < image.width();) {
            if (line[col] == 0xFFFFFFFFu) {
                ++col;
                continue;
            }
            const int start = col;
            while (col < image.width() && line[col] != 0xFFFFFFFFu) ++col;
            piece.spans.push_back({static_cast<std::int16_t>(row - m), static_cast<std::int16_t>(start - m),
                                   static_cast<std::int16_t>(col - m)});
            piece.left = std::min(piece.left, start - m);
            piece.right = std::max(piece.right, col - m);
            piece.top = std::min(piece.top, row - m);
            piece.bottom = std::max(piece.bottom, row - m + 1);
        }
    }
    if (piece.spans.empty()) piece.left = piece.top = piece.right = piece.bottom = 0;
}

int TTextRaster::SinglePiece(char16_t c, bool create) {
    std::int32_t& index = singles_[c];
    if (index < 0 && create) index = PieceAt(QString(QChar(c)), 0, 1, true);
    return index;
}

int TTextRaster::PieceAt(const QString& shown, int begin, int end, bool create) {
    const QString text = shown.mid(begin, end - begin);
    const auto found = pieceIndex_.constFind(text);
    if (found != pieceIndex_.constEnd()) return found.value();
    if (!create) return -1;
    TPiece piece;
    piece.text = text;
    piece.advance = ToUnits(QFontMetricsF(font_, &Device()).horizontalAdvance(text));
    piece.glyphs = Shape(text);
    Render(piece);
    spanCount_ += piece.spans.size();
    pieces_.push_back(std::move(piece));
    const int index = static_cast<int>(pieces_.size() - 1);
    pieceIndex_.insert(text, index);
    return index;
}

// The kerning between piece a and piece b following it, when Qt lays out the two together as it
// lays them out apart, the second moved by a's advance and the kerning, in whole pixels.
std::int32_t TTextRaster::Join(int a, int b, bool create) {
    if (a < 0 || b < 0) return Unknown;
    const std::uint64_t key = static_cast<std::uint64_t>(a) << 32 | static_cast<std::uint32_t>(b);
    if (!create) {
        if (a < SmallPieces && b < SmallPieces) return joinSmall_[static_cast<std::size_t>(a) * SmallPieces + b];
        const auto found = join_.find(key);
        return found == join_.end() ? Unknown : found->second;
    }
    std::int32_t* slot = nullptr;
    if (a < SmallPieces && b < SmallPieces)
        slot = &joinSmall_[static_cast<std::size_t>(a) * SmallPieces + b];
    else
        slot = &join_.emplace(key, Unknown).first->second;
    if (*slot != Unknown) return *slot;
    const TPiece& pa = pieces_[a];
    const TPiece& pb = pieces_[b];
    const QString both = pa.text + pb.text;
    const std::int64_t together = ToUnits(QFontMetricsF(font_, &Device()).horizontalAdvance(both));
    const std::int64_t kerning = together - pa.advance - pb.advance;
    std::int32_t result = Unjoinable;
    if (pa.advance % 64 == 0 && kerning % 64 == 0 && kerning > -(1 << 20) && kerning < (1 << 20)) {
        std::vector<std::uint64_t> expected = pa.glyphs;
        for (std::size_t k = 0; k < pb.glyphs.size(); k += 3) {
            expected.push_back(pb.glyphs[k] + static_cast<std::uint64_t>(pa.advance + kerning));
            expected.push_back(pb.glyphs[k + 1]);
            expected.push_back(pb.glyphs[k + 2]);
        }
        if (Shape(both) == expected) result = static_cast<std::int32_t>(kerning);
    }
    *slot = result;
    return result;
}

template <class TVisit>
bool TTextRaster::Walk(const QString& shown, TMark from, bool create, TVisit&& visit) {
    const int n = static_cast<int>(shown.size());
    const char16_t* units = reinterpret_cast<const char16_t*>(shown.utf16());
    auto length = [&](int i) {
        return QChar::isHighSurrogate(units[i]) && i + 1 < n && QChar::isLowSurrogate(units[i + 1]) ? 2 : 1;
    };
    std::int64_t pen = from.pen;
    int previous = -1;
    // The kerning found at the last cut, between two one-unit pieces.
    std::int32_t cutKerning = Unjoinable;
    for (int i = from.unit; i < n;) {
        int j = i + length(i);
        std::int32_t kerning = Unjoinable;
        // The piece ends where two plain characters meet that Qt shapes apart.
        while (j < n) {
            const std::uint8_t before = Kind(units[j - 1], create), after = Kind(units[j], create);
            if (before == 0 || after == 0) return false; // not prepared
            if (before == 1 && after == 1) {
                kerning = Join(SinglePiece(units[j - 1], create), SinglePiece(units[j], create), create);
                if (kerning == Unknown) return false;
                if (kerning != Unjoinable) break;
            }
            j += length(j);
            if (j - i > MaxPieceUnits) return false;
        }
        const bool single = j - i == 1;
        const int piece = single ? SinglePiece(units[i], create) : PieceAt(shown, i, j, create);
        if (piece < 0) return false;
        if (previous >= 0) {
            const std::int32_t join = single && cutKerning != Unjoinable ? cutKerning : Join(previous, piece, create);
            if (join == Unjoinable || join == Unknown) return false;
            pen += join;
        }
        if (!visit(piece, i, pen)) return true;
        pen += pieces_[piece].advance;
        previous = piece;
        cutKerning = single ? kerning : Unjoinable;
        i = j;
    }
    return true;
}

// Whether every byte is a printable ASCII character (space to tilde).
bool TTextRaster::PrintableAscii(const std::string& text) {
    unsigned char outside = 0;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        outside |= static_cast<unsigned char>((b < 0x20) | (b > 0x7E));
    }
    return outside == 0;
}

// The pen's step from printable ASCII character a to b, each a piece of its own: a's advance and
// the kerning of the pair; UnjoinableStep when Qt shapes the pair otherwise than apart.
std::int64_t TTextRaster::AsciiStep(unsigned char a, unsigned char b) {
    if (Kind(a, true) != 1 || Kind(b, true) != 1) return UnjoinableStep;
    const int pa = SinglePiece(a, true), pb = SinglePiece(b, true);
    if (pa < 0 || pb < 0) return UnjoinableStep;
    const std::int32_t kerning = Join(pa, pb, true);
    if (kerning == Unjoinable || kerning == Unknown) return UnjoinableStep;
    return pieces_[static_cast<std::size_t>(pa)].advance + kerning;
}

// A long text of printable ASCII characters is measured in one pass over its bytes, never
// decoded whole: each character is one piece when every pair of neighbours joins, and the pen
// moves by the pair's step. Its marks and width are those the walk over the decoded text finds.
// False (a pair that does not join) leaves the text to that walk.
bool TTextRaster::MeasureAscii(const std::string& text, TText& entry) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    entry.marks.reserve(n / MarkEvery + 1);
    entry.marks.push_back({0, 0});
    std::int64_t pen = 0;
    std::size_t nextMark = MarkEvery;
    for (std::size_t i = 1; i < n; ++i) {
        std::int64_t& step = asciiSteps_[static_cast<std::size_t>(bytes[i - 1]) << 7 | bytes[i]];
        if (step == UnknownStep) step = AsciiStep(bytes[i - 1], bytes[i]);
        if (step == UnjoinableStep) return false;
        pen += step;
        if (step < 0) entry.monotone = false; // this piece starts left of the one before
        if (i >= nextMark) {
            entry.marks.push_back({static_cast<std::int32_t>(i), pen});
            nextMark = i + MarkEvery;
        }
    }
    const int last = SinglePiece(bytes[n - 1], true);
    if (last < 0 || Kind(bytes[n - 1], true) != 1) return false;
    entry.width = qRound(static_cast<qreal>(pen + pieces_[static_cast<std::size_t>(last)].advance) / 64);
    entry.units = static_cast<std::int32_t>(n);
    return true;
}

// Units begin..end of an entry's text as it shows: of its decoded text, or of the ASCII bytes.
QString TTextRaster::Units(const TText& entry, const std::string& text, int begin, int end) {
    if (!entry.ascii) return entry.shown.mid(begin, end - begin);
    return QString::fromLatin1(text.data() + begin, end - begin);
}

// A text's entry, measured: from its bytes when it is long printable ASCII that allows it, else
// from its decoded characters.
TTextRaster::TText TTextRaster::Measure(const std::string& text) {
    TText entry;
    if (text.size() >= LongAsciiBytes && text.size() <= INT32_MAX && PrintableAscii(text) &&
        MeasureAscii(text, entry)) {
        entry.ascii = true;
        return entry;
    }
    entry = TText();
    entry.shown = DecodeText(text);
    entry.units = static_cast<std::int32_t>(std::min<qsizetype>(entry.shown.size(), INT32_MAX));
    const QString& shown = entry.shown;
    for (qsizetype i = 0; i < shown.size() && !entry.whole; ++i) {
        if (shown[i].isHighSurrogate() && i + 1 < shown.size() && shown[i + 1].isLowSurrogate()) {
            entry.whole = NeedsWhole(QChar::surrogateToUcs4(shown[i], shown[i + 1]));
            ++i;
        } else {
            entry.whole = Kind(shown[i].unicode(), true) == 3;
        }
    }
    if (!entry.whole) {
        std::int64_t end = 0, previousPen = 0;
        int nextMark = 0;
        entry.marks.push_back({0, 0});
        const bool joined = Walk(shown, entry.marks[0], true, [&](int piece, int unit, std::int64_t pen) {
            if (pen < previousPen) entry.monotone = false;
            previousPen = pen;
            if (unit >= nextMark) {
                if (unit > 0) entry.marks.push_back({unit, pen});
                nextMark = unit + MarkEvery;
            }
            end = pen + pieces_[piece].advance;
            return true;
        });
        if (joined) {
            entry.width = qRound(static_cast<qreal>(end) / 64);
            entry.marks.shrink_to_fit();
        } else {
            entry.whole = true;
            entry.marks.clear();
        }
    }
    if (entry.whole) entry.width = QFontMetrics(font_, &Device()).horizontalAdvance(shown);
    return entry;
}

// Room for units more UTF-16 units of measured texts, every text forgotten when there is none.
void TTextRaster::MakeRoom(std::size_t units) {
    if (texts_.size() + longTexts_.size() < MaxTexts && textUnits_ + units <= MaxTextUnits) return;
    texts_.clear();
    longTexts_.clear();
    textUnits_ = 0;
    lastKey_ = nullptr;
}

TTextRaster::TText& TTextRaster::Text(const std::string& text) {
    if (lastKey_ && *lastKey_ == text) return *lastText_;
    if (pieces_.size() >= MaxPieces || spanCount_ >= MaxSpans) ClearPieces();
    if (text.size() >= LongTextBytes) {
        // A long text is kept by its length and two keyed hashes of its bytes (Qt's, seeded at
        // random for each process), not by a copy: copying and comparing it cost more than
        // measuring it.
        const std::size_t seed = QHashSeed::globalSeed();
        const TLongKey key{text.size(), qHashBits(text.data(), text.size(), seed),
                           qHashBits(text.data(), text.size(), ~seed ^ 0x9E3779B97F4A7C15u)};
        auto found = longTexts_.find(key);
        if (found == longTexts_.end()) {
            TText entry = Measure(text);
            // What the entry holds: an ASCII one only its marks, 16 bytes each.
            const std::size_t units = entry.ascii ? entry.marks.size() * 8 : static_cast<std::size_t>(entry.units);
            MakeRoom(units);
            textUnits_ += units;
            found = longTexts_.emplace(key, std::move(entry)).first;
        }
        lastKey_ = nullptr;
        return found->second;
    }
    auto found = texts_.find(text);
    if (found == texts_.end()) {
        TText entry = Measure(text);
        const std::size_t units = static_cast<std::size_t>(entry.units);
        MakeRoom(units);
        textUnits_ += units;
        found = texts_.emplace(text, std::move(entry)).first;
    }
    lastKey_ = &found->first;
    lastText_ = &found->second;
    return *lastText_;
}

int TTextRaster::Width(const std::string& text) { return Text(text).width; }

void TTextRaster::Place(TText& text) {
    text.placed.clear();
    TPiece& merged = text.merged;
    merged.spans.clear();
    merged.left = merged.top = INT32_MAX;
    merged.right = merged.bottom = INT32_MIN;
    const bool merge = text.shown.size() <= MergedUpTo;
    Walk(text.shown, text.marks[0], true, [&](int piece, int, std::int64_t pen) {
        const std::int32_t at = static_cast<std::int32_t>(FloorDiv64(pen));
        if (!merge) {
            text.placed.push_back({piece, at});
            return true;
        }
        const TPiece& p = pieces_[piece];
        for (const TSpan& span : p.spans)
            merged.spans.push_back(
                {span.dy, static_cast<std::int16_t>(span.x0 + at), static_cast<std::int16_t>(span.x1 + at)});
        if (!p.spans.empty()) {
            merged.left = std::min(merged.left, p.left + at);
            merged.right = std::max(merged.right, p.right + at);
            merged.top = std::min(merged.top, p.top);
            merged.bottom = std::max(merged.bottom, p.bottom);
        }
        return true;
    });
    if (merged.spans.empty()) merged.left = merged.top = merged.right = merged.bottom = 0;
    // Whether every letter lies inside the cell, where letters in the cell's colour do not show.
    text.lettersInside = true;
    auto inside = [&](const TPiece& p, int at) {
        return p.spans.empty() ||
               (p.left + at >= 0 && p.right + at <= text.width && p.top >= 0 && p.bottom <= lineHeight_);
    };
    if (merge) text.lettersInside = inside(merged, 0);
    for (const TPlaced& p : text.placed) text.lettersInside = text.lettersInside && inside(pieces_[p.piece], p.pen);
    text.generation = generation_;
}

void TTextRaster::Blit(const TPixels& to, long long x, long long y, const TPiece& piece, u32 px) const {
    if (x + piece.right <= to.x1 || x + piece.left >= to.x2 || y + piece.bottom <= to.y1 || y + piece.top >= to.y2)
        return;
    if (x + piece.left >= to.x1 && x + piece.right <= to.x2 && y + piece.top >= to.y1 && y + piece.bottom <= to.y2) {
        // Wholly inside: no span needs its ends checked.
        for (const TSpan& s : piece.spans) {
            u32* const p = to.Row(y + s.dy) + x + s.x0;
            const int n = s.x1 - s.x0;
            if (n > 4) {
                std::fill(p, p + n, px);
                continue;
            }
            // Most spans of letters are a pixel or a few: stored without std::fill's set-up.
            p[0] = px;
            if (n > 1) p[1] = px;
            if (n > 2) p[2] = px;
            if (n > 3) p[3] = px;
        }
        return;
    }
    for (const TSpan& s : piece.spans) {
        const long long row = y + s.dy;
        if (row < to.y1 || row >= to.y2) continue;
        const long long xa = std::max(x + s.x0, to.x1), xb = std::min(x + s.x1, to.x2);
        if (xa < xb) std::fill(to.Row(row) + xa, to.Row(row) + xb, px);
    }
}

// Qt paints the part of the text over the box, black on white, and the black becomes the letters.
void TTextRaster::PaintWhole(const TPixels& to, long long x, long long y, const TText& text, u32 font) const {
    const long long m = margin_;
    const long long rx1 = std::max(to.x1, x - m), rx2 = std::min(to.x2, x + text.width + m);
    const long long ry1 = std::max(to.y1, y - m), ry2 = std::min(to.y2, y + lineHeight_ + m);
    if (rx1 >= rx2 || ry1 >= ry2) return;
    const QImage image = Letters(static_cast<int>(rx2 - rx1), static_cast<int>(ry2 - ry1), static_cast<int>(x - rx1),
                                 static_cast<int>(y - ry1), text.shown);
    for (long long row = ry1; row < ry2; ++row) {
        const u32* from = reinterpret_cast<const u32*>(image.constScanLine(static_cast<int>(row - ry1)));
        u32* line = to.Row(row);
        for (long long col = rx1; col < rx2; ++col)
            if (from[col - rx1] != 0xFFFFFFFFu) line[col] = font;
    }
}

void TTextRaster::Paint(const TPixels& to, long long x, long long y, const std::string& text, u32 font, u32 brush) {
    if (text.empty()) return;
    TText& entry = Text(text);
    const long long w = entry.width, h = lineHeight_, m = margin_;
    if (w <= 0) return;
    if (x + w + m <= to.x1 || x - m >= to.x2 || y + h + m <= to.y1 || y - m >= to.y2) return;

    // The cell in the brush colour.
    const long long cx1 = std::max(x, to.x1), cx2 = std::min(x + w, to.x2);
    for (long long row = std::max(y, to.y1); row < std::min(y + h, to.y2); ++row)
        if (cx1 < cx2) std::fill(to.Row(row) + cx1, to.Row(row) + cx2, brush);

    // Letters in the brush colour show only where they leave the cell.
    const bool lettersShow = font != brush;
    auto paintPiece = [&](const TPiece& piece, long long px) {
        if (!lettersShow && px + piece.left >= x && px + piece.right <= x + w && piece.top >= 0 && piece.bottom <= h)
            return;
        Blit(to, px, y, piece, font);
    };
    if (entry.whole) {
        if (w > MaxWholePieceWidth) {
            PaintWhole(to, x, y, entry, font);
        } else {
            if (pieces_.size() >= MaxPieces || spanCount_ >= MaxSpans) ClearPieces();
            const int piece = PieceAt(entry.shown, 0, static_cast<int>(entry.shown.size()), true);
            if (piece >= 0) paintPiece(pieces_[piece], x);
        }
        return;
    }

    if (entry.units <= PlacedUpTo) {
        if (entry.generation != generation_) Place(entry);
        if (!lettersShow && entry.lettersInside) return;
        if (entry.units <= MergedUpTo) paintPiece(entry.merged, x);
        for (const TPlaced& p : entry.placed) paintPiece(pieces_[p.piece], x + p.pen);
        return;
    }

    // From the last mark whose pieces before it all lie left of the box; to the first piece
    // right of it. A piece's pixels lie within a margin of its advance, and a kerning is less.
    std::size_t mark = 0;
    if (entry.monotone) {
        const auto after = std::upper_bound(entry.marks.begin(), entry.marks.end(), to.x1 - x - 2 * m,
                                            [](long long limit, const TMark& k) { return limit < FloorDiv64(k.pen); });
        mark = after == entry.marks.begin() ? 0 : static_cast<std::size_t>(after - entry.marks.begin() - 1);
    }
    const bool monotone = entry.monotone;
    auto visit = [&](int piece, int, std::int64_t pen) {
        const long long px = x + FloorDiv64(pen);
        if (monotone && px - 2 * m >= to.x2) return false;
        paintPiece(pieces_[piece], px);
        return true;
    };
    if (!entry.ascii) {
        Walk(entry.shown, entry.marks[mark], true, visit);
        return;
    }
    // Only the characters from the mark to the first mark right of the box are decoded.
    const TMark from = entry.marks[mark];
    const auto beyond = std::find_if(entry.marks.begin() + static_cast<std::ptrdiff_t>(mark), entry.marks.end(),
                                     [&](const TMark& k) { return FloorDiv64(k.pen) - 2 * m >= to.x2 - x; });
    const int end = beyond == entry.marks.end() ? entry.units : beyond->unit;
    Walk(Units(entry, text, from.unit, end), {0, from.pen}, true, visit);
}

TTextRaster::TPart TTextRaster::VisiblePart(const std::string& text, long long x, long long x1, long long x2) {
    TText& entry = Text(text);
    if (entry.whole || !entry.monotone || entry.marks.empty()) return {entry.shown, 0};
    const long long m = margin_;
    // The last mark whose pieces before it lie left of x1, the first whose pieces lie right of x2.
    const auto after = std::upper_bound(entry.marks.begin(), entry.marks.end(), x1 - x - 2 * m,
                                        [](long long limit, const TMark& k) { return limit < FloorDiv64(k.pen); });
    const TMark& from = after == entry.marks.begin() ? entry.marks.front() : *(after - 1);
    const auto beyond =
        std::find_if(after, entry.marks.end(), [&](const TMark& k) { return FloorDiv64(k.pen) - 2 * m >= x2 - x; });
    const int end = beyond == entry.marks.end() ? entry.units : beyond->unit;
    if (from.unit == 0 && end == entry.units && !entry.ascii) return {entry.shown, 0};
    return {Units(entry, text, from.unit, std::max(from.unit, end)), from.pen};
}
