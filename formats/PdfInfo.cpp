#include "PdfInfo.h"

#include <QString>

#include <charconv>

namespace {

// Text in a PDF string as Qt writes its Title: UTF-16BE after a byte order mark, in hex.
std::string HexText(const std::string& utf8) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "<FEFF";
    for (const QChar c : QString::fromStdString(utf8)) {
        const char16_t unit = c.unicode();
        for (int shift = 12; shift >= 0; shift -= 4) out += digits[(unit >> shift) & 0xF];
    }
    return out + ">";
}

long long ReadWhole(const std::string& text, std::size_t at, std::size_t length) {
    long long value = 0;
    std::from_chars(text.data() + at, text.data() + at + length, value);
    return value;
}

} // namespace

std::string WithPdfSubject(std::string pdf, const std::string& subject) {
    const std::size_t title = pdf.find("\n/Title ");
    const std::size_t xref = pdf.rfind("\nxref\n"), start = pdf.rfind("startxref\n");
    if (title == std::string::npos || xref == std::string::npos || start == std::string::npos || xref < title)
        return pdf;
    const std::size_t at = pdf.find('\n', title + 1);
    if (at == std::string::npos || at > xref) return pdf;
    const std::string entry = "\n/Subject " + HexText(subject);
    pdf.insert(at, entry);
    const long long delta = static_cast<long long>(entry.size());
    // "xref", "0 N", then N entries of 20 characters: a 10-digit offset, generation, n or f.
    std::size_t line = pdf.find('\n', xref + delta + 6) + 1;
    const std::size_t end = start + static_cast<std::size_t>(delta);
    while (line + 20 <= end && pdf.compare(line, 7, "trailer") != 0) {
        const long long offset = ReadWhole(pdf, line, 10);
        if (pdf[line + 17] == 'n' && offset > static_cast<long long>(at)) {
            char moved[20];
            const auto last = std::to_chars(moved, moved + sizeof moved, offset + delta).ptr;
            const std::string digits(moved, last);
            pdf.replace(line, 10, std::string(digits.size() < 10 ? 10 - digits.size() : 0, '0') + digits);
        }
        line += 20;
    }
    const std::size_t number = end + 10, digitsEnd = pdf.find_first_not_of("0123456789", number);
    char moved[24];
    const auto last =
        std::to_chars(moved, moved + sizeof moved, ReadWhole(pdf, number, digitsEnd - number) + delta).ptr;
    pdf.replace(number, digitsEnd - number, std::string(moved, last));
    return pdf;
}
