#pragma once
// The raster canvas's texts: measured and painted from pieces that Qt renders once each, so that
// a text costs in proportion to what of it is shown, whatever its length.
//
// A text is cut into pieces between two characters that Qt shapes apart: plain characters whose
// pair becomes the same two glyphs alone or together (no ligature, no mark, no joining). Most
// pieces are one character; "fi" and the like stay whole. Qt renders each piece once, black on
// white, and its pixels are kept as spans; a piece is measured once, and the kerning between two
// neighbouring pieces once. The width is the sum, in Qt's 1/64-pixel units, rounded as Qt rounds
// it, and every piece is painted at its pen position: the pixels of Qt's own rendering.
// A text that Qt lays out as a whole (right-to-left letters, tabs, control and format characters,
// or a run of over MaxPieceUnits units with no cut) is measured and painted by Qt: rendered once
// when it is narrow, otherwise only the part over the picture, on every paint.

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRawFont>
#include <QString>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class TTextRaster {
public:
    TTextRaster();

    // Where Paint may write: the pixels of a 32-bit image and the box [x1, x2) x [y1, y2) in it.
    struct TPixels {
        std::uint32_t* bits;   // the image's first row
        std::ptrdiff_t stride; // in pixels
        long long row0;        // the row of the box's coordinates that bits holds
        long long x1, y1, x2, y2;
        std::uint32_t* Row(long long y) const { return bits + (y - row0) * stride; }
    };

    int LineHeight() const { return lineHeight_; }
    int Ascent() const { return ascent_; }
    // How far outside its cell a text's letters may reach, on every side.
    int Margin() const { return margin_; }
    // Qt's horizontal advance of the text as DecodeText shows it, in the canvas font.
    int Width(const std::string& text);
    // The opaque cell (Width x LineHeight, top-left at x, y) in brush, the letters in font on top,
    // as TQtCanvas::TextOut paints them; only what falls inside the box is written.
    void Paint(const TPixels& to, long long x, long long y, const std::string& text, std::uint32_t font,
               std::uint32_t brush);

    // The part of the text that can show between columns x1 and x2 when its cell starts at x:
    // units begin..end of the text as DecodeText shows it, begin's pen position from x in 1/64
    // pixel, and the whole text when it is laid out as a whole. Cut where pieces meet, so that
    // the part alone is laid out as it is within the text.
    struct TPart {
        QString text;
        std::int64_t pen = 0;
    };
    TPart VisiblePart(const std::string& text, long long x, long long x1, long long x2);

    // Bounds of the caches: each is emptied when it would grow past them.
    static constexpr std::size_t MaxTexts = 1u << 16;
    static constexpr std::size_t MaxTextUnits = 48u << 20; // UTF-16 units held for measured texts
    static constexpr std::size_t MaxPieces = 1u << 16;
    static constexpr std::size_t MaxSpans = 4u << 20;
    static constexpr int MaxPieceUnits = 64;        // longer runs without a cut are laid out whole
    static constexpr int MaxWholePieceWidth = 1024; // wider whole texts are painted part by part
    std::size_t PieceCount() const { return pieces_.size(); }
    std::size_t TextCount() const { return texts_.size() + longTexts_.size(); }

private:
    struct TSpan {
        std::int16_t dy, x0, x1; // row below the cell's top, columns from the pen position
    };
    struct TPiece {
        QString text;
        std::int64_t advance = 0;          // 1/64 pixel
        std::vector<std::uint64_t> glyphs; // font number << 32 | glyph index, as Qt shapes it alone
        std::vector<TSpan> spans;
        int left = 0, top = 0, right = 0, bottom = 0; // box of the spans, right and bottom exclusive
    };
    struct TMark {
        std::int32_t unit; // a piece starts here
        std::int64_t pen;  // at this pen position, 1/64 pixel
    };
    struct TPlaced {
        std::int32_t piece;
        std::int32_t pen; // whole pixels
    };
    struct TText {
        QString shown; // empty for an ASCII text measured from its bytes
        bool ascii = false;
        std::int32_t units = 0; // UTF-16 units of the text as it shows
        int width = 0;
        bool whole = false;       // laid out by Qt as a whole
        bool monotone = true;     // every pen position at or right of the one before
        std::vector<TMark> marks; // about every MarkEvery units
        // A short text's pieces, while the pieces of that generation are kept; the shortest texts'
        // spans merged instead, so that painting one is one blit.
        std::vector<TPlaced> placed;
        TPiece merged;
        bool lettersInside = false; // every letter inside the cell (known with placed)
        std::uint32_t generation = 0;
    };
    static constexpr int MarkEvery = 64;
    static constexpr int PlacedUpTo = 128; // units of a text whose pieces are listed
    static constexpr int MergedUpTo = 16;  // units of a text whose spans are merged
    static constexpr std::int32_t Unjoinable = INT32_MIN;

    TText& Text(const std::string& text);
    TText Measure(const std::string& text);
    void MakeRoom(std::size_t units);
    // Texts of LongTextBytes or more, by length and two keyed hashes of their bytes.
    static constexpr std::size_t LongTextBytes = 4096;
    struct TLongKey {
        std::size_t size, hash1, hash2;
        bool operator==(const TLongKey& o) const { return size == o.size && hash1 == o.hash1 && hash2 == o.hash2; }
    };
    struct TLongKeyHash {
        std::size_t operator()(const TLongKey& k) const { return k.hash1; }
    };
    std::unordered_map<TLongKey, TText, TLongKeyHash> longTexts_;
    // Long texts of printable ASCII characters (see MeasureAscii).
    static constexpr std::size_t LongAsciiBytes = 4096;
    static constexpr std::int64_t UnknownStep = INT64_MIN, UnjoinableStep = INT64_MIN + 1;
    std::vector<std::int64_t> asciiSteps_; // AsciiStep of each pair, UnknownStep first
    static bool PrintableAscii(const std::string& text);
    std::int64_t AsciiStep(unsigned char a, unsigned char b);
    bool MeasureAscii(const std::string& text, TText& entry);
    static QString Units(const TText& entry, const std::string& text, int begin, int end);
    // Walks the pieces of a piecewise text from a mark; visit(piece, pen) returns false to stop.
    // Returns false when two pieces do not join as Qt would shape them.
    // Without create, nothing is measured or rendered: what is missing ends the walk (false), or
    // is -1, Unknown or kind 0.
    template <class TVisit>
    bool Walk(const QString& shown, TMark from, bool create, TVisit&& visit);
    int PieceAt(const QString& shown, int begin, int end, bool create);
    int SinglePiece(char16_t c, bool create);
    std::int32_t Join(int a, int b, bool create); // kerning between two neighbouring pieces, or Unjoinable
    std::uint8_t Kind(char16_t c, bool create);
    bool NeedsWhole(char32_t c) const;
    std::vector<std::uint64_t> Shape(const QString& text);
    QImage Letters(int w, int h, int x, int y, const QString& text) const;
    void Render(TPiece& piece) const;
    void Blit(const TPixels& to, long long x, long long y, const TPiece& piece, std::uint32_t px) const;
    void PaintWhole(const TPixels& to, long long x, long long y, const TText& text, std::uint32_t font) const;
    void ClearPieces();
    void Place(TText& text);

    QFont font_;
    int ascent_ = 0, lineHeight_ = 0, margin_ = 0;
    std::unordered_map<std::string, TText> texts_;
    std::size_t textUnits_ = 0;
    const std::string* lastKey_ = nullptr;
    TText* lastText_ = nullptr;

    std::vector<TPiece> pieces_;
    std::uint32_t generation_ = 1; // counts the times the pieces were emptied
    std::size_t spanCount_ = 0;
    QHash<QString, int> pieceIndex_;      // pieces of more than one unit
    std::vector<std::int32_t> singles_;   // piece of each UTF-16 unit, -1 before it is made
    std::vector<std::uint8_t> plain_;     // Kind of each UTF-16 unit, 0 before it is known
    std::vector<std::int32_t> joinSmall_; // Join of pieces below SmallPieces, Unknown first
    std::unordered_map<std::uint64_t, std::int32_t> join_;
    std::vector<QRawFont> fonts_; // font number -> the font Qt took the glyphs from
    static constexpr int SmallPieces = 256;
    static constexpr std::int32_t Unknown = INT32_MIN + 1;
};
