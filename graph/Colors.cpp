// The sixteen named colours and the spellings of colours in files and messages.

#include "Colors.h"

const TColorEntry ColorTable[16] = {
    {"black", colors::Black},   {"maroon", colors::Maroon},   {"green", colors::Green}, {"olive", colors::Olive},
    {"navy", colors::Navy},     {"purple", colors::Purple},   {"teal", colors::Teal},   {"gray", colors::Gray},
    {"silver", colors::Silver}, {"red", colors::Red},         {"lime", colors::Lime},   {"yellow", colors::Yellow},
    {"blue", colors::Blue},     {"fuchsia", colors::Fuchsia}, {"aqua", colors::Aqua},   {"white", colors::White},
};

std::optional<TColor> ColorNamed(std::string_view name) {
    for (const TColorEntry& e : ColorTable) {
        const std::string_view entry(e.name);
        if (entry.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < entry.size() && same; ++i) {
            const char c = name[i];
            same = (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == entry[i];
        }
        if (same) return e.value;
    }
    return std::nullopt;
}

std::string ColorNameList() {
    std::string list;
    for (std::size_t i = 0; i < std::size(ColorTable); ++i)
        list += (i == 0 ? "" : i + 1 == std::size(ColorTable) ? " and " : ", ") + std::string(ColorTable[i].name);
    return list;
}

std::string HexColor(TColor c) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out = "#";
    for (const unsigned byte : {c & 0xFFu, (c >> 8) & 0xFFu, (c >> 16) & 0xFFu}) {
        out += Digits[byte >> 4];
        out += Digits[byte & 0xF];
    }
    return out;
}

std::optional<TColor> ParseHexColor(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    TColor value = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) return std::nullopt;
        // Two digits a byte, red first; the colour keeps red in its low byte.
        const std::size_t byte = (i - 1) / 2;
        value |= static_cast<TColor>(digit) << (8 * byte + ((i - 1) % 2 == 0 ? 4 : 0));
    }
    return value;
}
