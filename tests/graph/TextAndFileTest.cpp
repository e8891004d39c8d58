// The text decoder every reader of names and weights shares, and what a save leaves on the disk:
// the new file's permissions and a save into a folder that takes no temporary file.

#include "Files.h"
#include "SafeFile.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Characters by the whole text: valid UTF-8 by its sequences, anything else byte by byte.
TEST(Text, CharactersAreUtf8SequencesOnlyWhenTheWholeTextIsValid) {
    const struct {
        std::string bytes;
        std::u32string characters;
    } cases[] = {
        {"ab", U"ab"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         U"Grüße"},
        {"\xF0\x9F\x98\x80", U"\U0001F600"},
        {"Gr\xFC\xDF"
         "e",
         U"Grüße"},                                        // Windows-1252
        {"\x80\x9F\x81", U"\u20AC\u0178\u0081"},           // its table, an unassigned code kept
        {"\xC0\x80", U"\u00C0\u20AC"},                     // overlong NUL: not UTF-8
        {"\xE0\x80\xAF", U"\u00E0\u20AC\u00AF"},           // overlong slash
        {"\xED\xA0\x80", U"\u00ED\u00A0\u20AC"},           // a surrogate
        {"\xF4\x90\x80\x80", U"\u00F4\u0090\u20AC\u20AC"}, // above U+10FFFF
        {"\xC3\xBC\xFC", U"\u00C3\u00BC\u00FC"},           // one bad byte: the whole text is Windows-1252
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const std::u32string decoded = DecodeText32(c.bytes);
        EXPECT_EQ(decoded, c.characters);
        EXPECT_EQ(CharacterStarts(c.bytes).size(), decoded.size() + 1);
        // Utf8Text is the same characters as UTF-8, and valid UTF-8 passes unchanged.
        std::string utf8;
        for (const char32_t ch : decoded) AppendUtf8(utf8, ch);
        EXPECT_EQ(Utf8Text(c.bytes), utf8);
        EXPECT_TRUE(IsUtf8(utf8));
    }
}

// A new file's permissions are what the umask leaves of 0666, read without changing it.
TEST(SafeSave, ANewFileTakesTheUmaskAndAnExistingOneKeepsItsMode) {
    TempFolder folder;
    const mode_t old = umask(027);
    const std::string made = folder.File("new.gf4"), kept = folder.File("kept.gf4");
    const bool madeOk = !AsFileFailure(ReplaceFile(made, "x"));
    const bool firstOk = !AsFileFailure(ReplaceFile(kept, "x")) && chmod(kept.c_str(), 0604) == 0;
    const bool againOk = !AsFileFailure(ReplaceFile(kept, "y"));
    EXPECT_EQ(umask(old), mode_t(027)); // still the process's own
    ASSERT_TRUE(madeOk && firstOk && againOk);
    struct stat st;
    ASSERT_EQ(stat(made.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0640));
    ASSERT_EQ(stat(kept.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0604));
    EXPECT_EQ(ReadBytes(kept), "y");
    EXPECT_EQ(folder.Entries().size(), 2u); // no temporary file left
}

// Content written piece by piece: the pieces in order; a failure or an exception part way leaves
// the old file whole and nothing beside it, whether the file is replaced by rename or, having a
// second link, written in place.
TEST(SafeSave, ContentInPiecesIsWrittenWholeOrNotAtAll) {
    TempFolder folder;
    const std::string path = folder.File("out.bmp"), link = folder.File("link.bmp");
    WriteBytes(path, "old");
    auto pieces = [](int failAfter, bool raise) {
        return [=](const TFileWriter& write) {
            for (int k = 0; k < 3; ++k) {
                if (k == failAfter) {
                    if (raise) throw std::runtime_error("no memory for the band");
                    return ENOSPC;
                }
                const std::string piece(1000, static_cast<char>('a' + k));
                if (const int err = write(piece.data(), piece.size())) return err;
            }
            return 0;
        };
    };
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "in place" : "by rename");
        if (linked) {
            ASSERT_EQ(::link(path.c_str(), link.c_str()), 0);
        }
        const std::size_t entries = folder.Entries().size();
        EXPECT_THROW(ReplaceFile(path, pieces(1, true)), std::runtime_error);
        EXPECT_EQ(ReadBytes(path), "old");
        EXPECT_EQ(AsFileFailure(ReplaceFile(path, pieces(2, false))).error, ENOSPC);
        EXPECT_EQ(ReadBytes(path), "old");
        EXPECT_EQ(folder.Entries().size(), entries);
        EXPECT_FALSE(AsFileFailure(ReplaceFile(path, pieces(-1, false))));
        EXPECT_EQ(ReadBytes(path), std::string(1000, 'a') + std::string(1000, 'b') + std::string(1000, 'c'));
        WriteBytes(path, "old");
    }
    EXPECT_EQ(ReadBytes(link), "old"); // the second link saw every write
}

} // namespace
