#include "TikzAltText.h"

#include "TextExport.h"

std::string TikzAltOption(const std::string& altText) {
    return altText.empty() ? std::string() : "alt/.try={" + TexText(altText) + "}, ";
}

std::string TikzDescriptionComment(const std::string& description) {
    std::string out;
    std::size_t start = 0;
    while (start < description.size()) {
        std::size_t end = description.find('\n', start);
        if (end == std::string::npos) end = description.size();
        out += "% " + description.substr(start, end - start) + "\n";
        start = end + 1;
    }
    return out;
}
