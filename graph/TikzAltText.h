#pragma once
// The words for readers who cannot see a TikZ picture: the short text as the picture's alt key,
// which a TeX installation without it skips (".try"), and the long one as comment lines.

#include <string>

// "alt/.try={TEXT}, " with the text escaped for TeX; empty for an empty text.
std::string TikzAltOption(const std::string& altText);
// Each line of the description as "% LINE"; empty for an empty description.
std::string TikzDescriptionComment(const std::string& description);
