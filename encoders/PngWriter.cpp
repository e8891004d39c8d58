#include "PngWriter.h"

#include "Geometry.h"

#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <zlib.h>

// The file is written here around zlib: the chunks, each row's filter (the one whose bytes sum
// smallest as signed values, libpng's rule), and the image data deflated by zlib's run-length
// strategy, which on these pictures is quicker than its fastest level and makes smaller files.
// A run of rows equal to the row above is the one case zlib would spend most of its time on (a
// 16384-pixel-wide blank row is 49 153 bytes of zeros once filtered "up"): after a full flush,
// which byte-aligns zlib's output and starts its history afresh, each such row is copied in as
// one deflate block made once for the picture, and the checksum of the data is carried along.
struct TPngWriter::TState {
    int width = 0, height = 0, written = 0;
    std::size_t rowBytes = 0; // filter byte and RGB
    std::string bytes;        // the file so far
    std::string idat;         // deflated data not yet in a chunk
    z_stream z{};
    bool zOpen = false, flushed = false;
    uLong adler = 1;
    std::vector<unsigned char> previous, raw, best, trial; // raw RGB rows, and filtered ones
    std::vector<unsigned char> previousPixels;             // the last row given, 32 bits a pixel
    std::string repeatBlock;                               // a repeated row's deflate block
    uLong repeatAdler = 1;                                 // the checksum of its data

    // zlib's state is the state's own: freed whatever throws after deflateInit2, in the
    // writer's constructor too (whose own destructor would not run then).
    TState() = default;
    TState(const TState&) = delete;
    TState& operator=(const TState&) = delete;
    ~TState() {
        if (zOpen) deflateEnd(&z);
    }
};

namespace {

constexpr std::size_t ChunkData = 1u << 18; // image data per IDAT chunk

void PutBig(std::string& to, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) to += static_cast<char>(v >> shift & 0xFFu);
}

void Chunk(std::string& to, const char* type, const std::string& data) {
    PutBig(to, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = to.size();
    to.append(type, 4);
    to += data;
    const uLong crc =
        crc32(0L, reinterpret_cast<const Bytef*>(to.data() + start), static_cast<uInt>(to.size() - start));
    PutBig(to, static_cast<std::uint32_t>(crc));
}

// Bits into bytes, least significant first, as deflate packs them.
struct TBits {
    std::string out;
    std::uint32_t buffer = 0;
    int count = 0;
    void Put(std::uint32_t value, int bits) {
        buffer |= value << count;
        count += bits;
        while (count >= 8) {
            out += static_cast<char>(buffer & 0xFFu);
            buffer >>= 8;
            count -= 8;
        }
    }
    // A Huffman code goes most significant bit first.
    void Code(std::uint32_t code, int bits) {
        std::uint32_t reversed = 0;
        for (int k = 0; k < bits; ++k) reversed |= (code >> k & 1u) << (bits - 1 - k);
        Put(reversed, bits);
    }
    void Literal(int value) { // the fixed code of deflate's literal/length alphabet
        if (value < 144)
            Code(0x30 + value, 8);
        else if (value < 256)
            Code(0x190 + value - 144, 9);
        else if (value < 280)
            Code(value - 256, 7);
        else
            Code(0xC0 + value - 280, 8);
    }
    // Zeros after a zero, as matches at distance 1.
    void Zeros(std::size_t zeros) {
        static const int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        while (zeros > 0) {
            if (zeros < 3) {
                Literal(0);
                --zeros;
                continue;
            }
            // At most 258, and never leaving 1 or 2 that need literals when a shorter match avoids it.
            std::size_t length = zeros > 258 ? (zeros - 258 < 3 ? zeros - 3 : 258) : zeros;
            int k = 28;
            while (base[k] > static_cast<int>(length)) --k;
            Literal(257 + k);
            if (extra[k]) Put(static_cast<std::uint32_t>(length - base[k]), extra[k]);
            Code(0, 5); // distance 1
            zeros -= length;
        }
    }
};

// Filters row (raw RGB) against the row above into out (the filter byte first): PNG's filters
// none (0), sub (1) and up (2). Average and Paeth are not tried: on drawings of lines, shapes and
// aliased text they never made a file smaller, and Paeth alone took a quarter of the encoding.
void Filter(int type, const unsigned char* row, const unsigned char* up, std::size_t n, unsigned char* out) {
    out[0] = static_cast<unsigned char>(type);
    unsigned char* to = out + 1;
    const std::size_t first = n < 3 ? n : 3; // the first pixel has nothing to its left
    switch (type) {
    case 0: std::memcpy(to, row, n); break;
    case 1:
        std::memcpy(to, row, first);
        for (std::size_t i = 3; i < n; ++i) to[i] = static_cast<unsigned char>(row[i] - row[i - 3]);
        break;
    default:
        for (std::size_t i = 0; i < n; ++i) to[i] = static_cast<unsigned char>(row[i] - up[i]);
        break;
    }
}
std::uint64_t Cost(const unsigned char* filtered, std::size_t n) {
    std::uint64_t sum = 0;
    for (std::size_t i = 1; i <= n; ++i) sum += filtered[i] < 128 ? filtered[i] : 256 - filtered[i];
    return sum;
}

} // namespace

TPngWriter::TPngWriter(int width, int height) : state_(std::make_unique<TState>()) {
    TState& s = *state_;
    if (width <= 0 || height <= 0 || width > (1 << 24))
        throw std::runtime_error("the picture cannot be encoded as PNG");
    s.width = width;
    s.height = height;
    const std::size_t n = static_cast<std::size_t>(width) * 3;
    s.rowBytes = n + 1;
    s.previous.assign(n, 0);
    s.raw.resize(n);
    s.best.resize(n + 1);
    s.trial.resize(n + 1);
    if (deflateInit2(&s.z, 1, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK)
        throw std::runtime_error("the picture cannot be encoded as PNG: not enough memory");
    s.zOpen = true;

    s.bytes = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutBig(header, static_cast<std::uint32_t>(width));
    PutBig(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, adaptive filters, no interlace
    Chunk(s.bytes, "IHDR", header);
    std::string density;
    PutBig(density, geometry::PixelsPerMetre); // 96 pixels an inch
    PutBig(density, geometry::PixelsPerMetre);
    density += '\x01';
    Chunk(s.bytes, "pHYs", density);
    s.idat = "\x78\x01"; // zlib's header: deflate, 32 KB window, fastest compression

    // The repeated row: filter "up", then zeros; one fixed-code block, then an empty stored block
    // that ends it on a byte.
    TBits bits;
    bits.Put(0, 1); // not the last block
    bits.Put(1, 2); // fixed codes
    bits.Literal(2);
    bits.Literal(0);
    bits.Zeros(n - 1);
    bits.Literal(256);
    bits.Put(0, 3); // stored, not the last
    if (bits.count) bits.Put(0, 8 - bits.count);
    bits.out += std::string("\x00\x00\xff\xff", 4);
    s.repeatBlock = bits.out;
    std::vector<unsigned char> zeros(s.rowBytes, 0);
    zeros[0] = 2;
    s.repeatAdler = adler32(1L, zeros.data(), static_cast<uInt>(zeros.size()));
}

TPngWriter::~TPngWriter() = default;

namespace {

// Deflates what is given (nothing for a flush) into the pending image data.
void Deflate(TPngWriter::TState& s, const unsigned char* data, std::size_t n, int flush) {
    s.z.next_in = const_cast<Bytef*>(data);
    s.z.avail_in = static_cast<uInt>(n);
    unsigned char out[1 << 16];
    do {
        s.z.next_out = out;
        s.z.avail_out = sizeof out;
        const int result = deflate(&s.z, flush);
        if (result == Z_STREAM_ERROR) throw std::runtime_error("the picture cannot be encoded as PNG");
        s.idat.append(reinterpret_cast<const char*>(out), sizeof out - s.z.avail_out);
    } while (s.z.avail_out == 0 || s.z.avail_in > 0);
    if (s.idat.size() >= ChunkData) {
        Chunk(s.bytes, "IDAT", s.idat);
        s.idat.clear();
    }
}

} // namespace

void TPngWriter::Rows(const QImage& image, int count) {
    TState& s = *state_;
    const std::size_t n = s.rowBytes - 1, pixelBytes = static_cast<std::size_t>(s.width) * 4;
    for (int y = 0; y < count && s.written < s.height; ++y, ++s.written) {
        const unsigned char* row = image.constScanLine(y);
        if (s.written > 0 && std::memcmp(row, s.previousPixels.data(), pixelBytes) == 0) {
            if (!s.flushed) { // zlib's output on a byte, its history forgotten
                Deflate(s, nullptr, 0, Z_FULL_FLUSH);
                s.flushed = true;
            }
            s.idat += s.repeatBlock;
            s.adler = adler32_combine(s.adler, s.repeatAdler, static_cast<z_off_t>(s.rowBytes));
            if (s.idat.size() >= ChunkData) {
                Chunk(s.bytes, "IDAT", s.idat);
                s.idat.clear();
            }
            continue;
        }
        s.previousPixels.assign(row, row + pixelBytes);
        const auto* pixels = reinterpret_cast<const QRgb*>(row);
        for (int x = 0; x < s.width; ++x) {
            s.raw[3 * static_cast<std::size_t>(x)] = static_cast<unsigned char>(qRed(pixels[x]));
            s.raw[3 * static_cast<std::size_t>(x) + 1] = static_cast<unsigned char>(qGreen(pixels[x]));
            s.raw[3 * static_cast<std::size_t>(x) + 2] = static_cast<unsigned char>(qBlue(pixels[x]));
        }
        std::uint64_t bestCost = UINT64_MAX;
        for (int type = 0; type <= 2; ++type) {
            Filter(type, s.raw.data(), s.previous.data(), n, s.trial.data());
            const std::uint64_t cost = Cost(s.trial.data(), n);
            if (cost < bestCost) {
                bestCost = cost;
                s.best.swap(s.trial);
            }
        }
        s.adler = adler32(s.adler, s.best.data(), static_cast<uInt>(s.rowBytes));
        Deflate(s, s.best.data(), s.rowBytes, Z_NO_FLUSH);
        s.flushed = false;
        s.previous.swap(s.raw);
    }
}

std::string TPngWriter::Finish() {
    TState& s = *state_;
    if (s.written != s.height) throw std::runtime_error("the picture cannot be encoded as PNG: rows are missing");
    Deflate(s, nullptr, 0, Z_FINISH);
    PutBig(s.idat, static_cast<std::uint32_t>(s.adler));
    Chunk(s.bytes, "IDAT", s.idat);
    s.idat.clear();
    Chunk(s.bytes, "IEND", {});
    return std::move(s.bytes);
}
