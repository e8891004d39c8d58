#pragma once
// The texts of a graph (names and weights) are bytes. What the user types is stored as UTF-8;
// older files may carry Windows-1252 text. A text is read as UTF-8 when the whole of it is valid
// UTF-8 (strict: no overlong forms, no surrogates, nothing above U+10FFFF), else byte by byte as
// Windows-1252. Every reader of a text (the canvases, the exports, the name cut) reads it here.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Windows-1252's characters for the bytes 0x80..0x9F (the rest is Latin-1). The five codes it
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to themselves, C1 controls.
extern const char16_t Cp1252High[32];

// The length of the well-formed UTF-8 sequence that starts at s[pos], or 0 when none does.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos);
bool IsUtf8(std::string_view s);

// The text's characters as code points.
std::u32string DecodeText32(std::string_view bytes);

// The text as UTF-8: unchanged when it is valid UTF-8, else each byte read as Windows-1252.
std::string Utf8Text(std::string_view bytes);

// Where each character of the text starts, as byte offsets, and the text's size at the end: a
// text of n characters gives n + 1 offsets.
std::vector<std::size_t> CharacterStarts(std::string_view bytes);

// Appends the code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// The text as UTF-8 (Utf8Text) with every control character (C0, DEL and C1, which the five
// unassigned Windows-1252 bytes become) and the noncharacters U+FFFE and U+FFFF turned into
// spaces: no file format the program writes can carry them, and the window shows none of them as
// a letter.
std::string PrintableUtf8(std::string_view bytes);
// Printable UTF-8 escaped for XML text and attribute values: & < > " as entities.
std::string XmlEscaped(std::string_view printable);
