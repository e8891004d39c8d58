// Numbers in files and the spellings of colours: one unit each, the same in every locale.

#include "Numbers.h"
#include "Colors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Numbers, ParseReadsTheWholeTextAsTheCLocaleDoes) {
    const double inf = std::numeric_limits<double>::infinity();
    struct TCase {
        const char* text;
        std::optional<double> value;
    };
    for (const TCase& c :
         std::initializer_list<TCase>{{"60.8", 60.8},
                                      {"-3", -3.0},
                                      {"+2.5", 2.5},
                                      {".5", 0.5},
                                      {"5.", 5.0},
                                      {"1e3", 1000.0},
                                      {"2E-1", 0.2},
                                      {"1e999", inf},
                                      {"-1e999", -inf},
                                      {"1e-999", 0.0},
                                      {"0", 0.0},
                                      // Not numbers: a comma, spaces, words, a bare sign or exponent, hexadecimal.
                                      {"1,5", std::nullopt},
                                      {" 1", std::nullopt},
                                      {"1 ", std::nullopt},
                                      {"inf", std::nullopt},
                                      {"nan", std::nullopt},
                                      {"", std::nullopt},
                                      {"-", std::nullopt},
                                      {"1e", std::nullopt},
                                      {"e5", std::nullopt},
                                      {"0x10", std::nullopt},
                                      {"1.2.3", std::nullopt}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numbers::Parse(c.text), c.value);
    }
}

// Written numbers read back as the same double, in the forms printf would give in the C locale.
TEST(Numbers, FormsMatchTheCLocalesPrintfAndReadBack) {
    EXPECT_EQ(numbers::Fixed(0.3125, 4), "0.3125");
    EXPECT_EQ(numbers::Fixed(-45.6, 6), "-45.600000");
    EXPECT_EQ(numbers::General(22.5, 6), "22.5");
    EXPECT_EQ(numbers::General(0.75, 6), "0.75");
    EXPECT_EQ(numbers::Trimmed(2.50, 2), "2.5");
    EXPECT_EQ(numbers::Trimmed(-0.001, 2), "0");
    EXPECT_EQ(numbers::Trimmed(300.0, 2), "300");
    for (double v : {0.1, -7.25, 1234567.125, 1e-7, 3.0e15}) {
        SCOPED_TRACE(v);
        EXPECT_EQ(numbers::Parse(numbers::General(v, 17)), v);
        EXPECT_EQ(numbers::Parse(numbers::Fixed(v, 20)), v);
    }
}

TEST(Colors, NamesAndHexadecimalSpellingsRoundTrip) {
    for (const TColorEntry& e : ColorTable) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(ColorNamed(e.name), e.value);
        std::string upper = e.name;
        for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
        EXPECT_EQ(ColorNamed(upper), e.value);
        EXPECT_EQ(ParseHexColor(HexColor(e.value)), e.value);
    }
    EXPECT_EQ(HexColor(colors::Navy), "#000080");
    EXPECT_EQ(ParseHexColor("#ff8000"), 0x000080FFu);
    EXPECT_EQ(ColorNamed("grey"), std::nullopt);
    EXPECT_EQ(ParseHexColor("#12345"), std::nullopt);
    EXPECT_EQ(ParseHexColor("#12345g"), std::nullopt);
    EXPECT_EQ(ColorNameList().substr(0, 14), "black, maroon,");
    EXPECT_NE(ColorNameList().find(", aqua and white"), std::string::npos);
}

} // namespace
