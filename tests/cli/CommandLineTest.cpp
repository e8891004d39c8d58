// The command line: a file to open, --help and --version, and what is refused.

#include "CommandLine.h"
#include "TextCodec.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TCommandLine Parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("nodeloom"));
    return ParseCommandLine(arguments);
}

TEST(CommandLine, NoArgumentStartsWithoutAFile) {
    const TCommandLine c = Parse({});
    EXPECT_EQ(c.action, TCommandLine::TAction::Start);
    EXPECT_TRUE(c.file.isEmpty());
}

TEST(CommandLine, AFileIsOpenedByItsAbsolutePath) {
    const TCommandLine absolute = Parse({QStringLiteral("/data/graphs/tree.gf4")});
    EXPECT_EQ(absolute.action, TCommandLine::TAction::Start);
    EXPECT_EQ(absolute.file, QStringLiteral("/data/graphs/tree.gf4"));
    const TCommandLine relative = Parse({QStringLiteral("sub/tree.gf4")});
    EXPECT_EQ(relative.file, QDir::current().absoluteFilePath(QStringLiteral("sub/tree.gf4")));
}

// A file name's bytes, whatever they are, come back unchanged from the command line as the path
// to open: valid UTF-8 is read as text, anything else is kept byte for byte.
TEST(CommandLine, AFileNameIsKeptByteForByte) {
    const QByteArray folder = QDir::current().absolutePath().toUtf8() + '/';
    for (const QByteArray& name : {QByteArray("Gr\xC3\xBC\xC3\x9F" "e.gf4"), QByteArray("Gr\xFC\xDF" "e.gf4"),
                                   QByteArray("\xC3.gf4"), QByteArray("\xC0\xAF\xE0\x80\xAF.gf4"),
                                   QByteArray("\xED\xB2\x80\xF4\x90\x80\x80\xF0\x9F\x98\x80"),
                                   QByteArray("sub/\xFF\x80/x.gf4"), QByteArray("/abs/\xE9t\xE9.gf4")}) {
        SCOPED_TRACE(name.toHex().toStdString());
        const TCommandLine c = Parse({DecodeFileName(name)});
        EXPECT_EQ(c.action, TCommandLine::TAction::Start);
        EXPECT_EQ(EncodeFileName(c.file), name.startsWith('/') ? name : folder + name);
    }
    EXPECT_EQ(DecodeFileName("Gr\xC3\xBC\xC3\x9F" "e"), QStringLiteral("Grüße"));
}

TEST(CommandLine, VersionAndHelpPrintAndExit) {
    const TCommandLine version = Parse({QStringLiteral("--version")});
    EXPECT_EQ(version.action, TCommandLine::TAction::Exit);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, QStringLiteral("Nodeloom 5.1\n"));
    for (const char* option : {"--help", "--help-all"}) {
        const TCommandLine h = Parse({QString::fromLatin1(option)});
        EXPECT_EQ(h.action, TCommandLine::TAction::Exit);
        EXPECT_TRUE(h.output.startsWith(QStringLiteral("Usage: nodeloom [options]"))) << h.output.toStdString();
    }
    const TCommandLine help = Parse({QStringLiteral("--help")});
    EXPECT_EQ(help.action, TCommandLine::TAction::Exit);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains(QStringLiteral("--version")));
    EXPECT_TRUE(help.output.contains(QStringLiteral("[file]")));
}

TEST(CommandLine, UnknownOptionsAndTwoFilesAreRefused) {
    for (const QStringList& args : {QStringList{QStringLiteral("--frobnicate")},
                                    QStringList{QStringLiteral("a.gf4"), QStringLiteral("b.gf4")}}) {
        const TCommandLine c = Parse(args);
        EXPECT_EQ(c.action, TCommandLine::TAction::Exit);
        EXPECT_EQ(c.exitCode, 1);
        EXPECT_FALSE(c.output.isEmpty());
    }
}

} // namespace
