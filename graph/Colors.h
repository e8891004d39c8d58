#pragma once
// The one home of colours: the colour type, the sixteen named colours and the table that gives
// them their names (edge texts, gf4 files and the colour boxes all go through it).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using TColor = std::uint32_t; // 0x00BBGGRR: red in the low byte, top byte zero

namespace colors {

constexpr TColor Black = 0x00000000;
constexpr TColor Maroon = 0x00000080;
constexpr TColor Green = 0x00008000;
constexpr TColor Olive = 0x00008080;
constexpr TColor Navy = 0x00800000;
constexpr TColor Purple = 0x00800080;
constexpr TColor Teal = 0x00808000;
constexpr TColor Gray = 0x00808080;
constexpr TColor Silver = 0x00C0C0C0;
constexpr TColor Red = 0x000000FF;
constexpr TColor Lime = 0x0000FF00;
constexpr TColor Yellow = 0x0000FFFF;
constexpr TColor Blue = 0x00FF0000;
constexpr TColor Fuchsia = 0x00FF00FF;
constexpr TColor Aqua = 0x00FFFF00;
constexpr TColor White = 0x00FFFFFF;

} // namespace colors

struct TColorEntry {
    const char* name;
    TColor value;
};
extern const TColorEntry ColorTable[16]; // in table order: "black" first, "white" last

// The table's colour of a name, in any case ("Navy"); nothing for any other text.
std::optional<TColor> ColorNamed(std::string_view name);
// The table's names as a sentence lists them: "black, maroon, ..., aqua and white".
std::string ColorNameList();
// "#RRGGBB" of a colour, in upper case, as every file the program writes spells it.
std::string HexColor(TColor c);
// The colour of "#RRGGBB" or "#rrggbb" (a text of exactly seven characters); nothing for any other text.
std::optional<TColor> ParseHexColor(std::string_view text);
