// The command line: a file to open, --help and --version, and what is refused.

#include "CommandLine.h"
#include "GraphExport.h"
#include "SafeFile.h"
#include "TextCodec.h"
#include "Version.h"

#include <QDir>
#include <QProcess>

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
    for (const QByteArray& name : {QByteArray("Gr\xC3\xBC\xC3\x9F"
                                              "e.gf4"),
                                   QByteArray("Gr\xFC\xDF"
                                              "e.gf4"),
                                   QByteArray("\xC3.gf4"), QByteArray("\xC0\xAF\xE0\x80\xAF.gf4"),
                                   QByteArray("\xED\xB2\x80\xF4\x90\x80\x80\xF0\x9F\x98\x80"),
                                   QByteArray("sub/\xFF\x80/x.gf4"), QByteArray("/abs/\xE9t\xE9.gf4")}) {
        SCOPED_TRACE(name.toHex().toStdString());
        const TCommandLine c = Parse({DecodeFileName(name)});
        EXPECT_EQ(c.action, TCommandLine::TAction::Start);
        EXPECT_EQ(EncodeFileName(c.file), name.startsWith('/') ? name : folder + name);
    }
    EXPECT_EQ(DecodeFileName("Gr\xC3\xBC\xC3\x9F"
                             "e"),
              QStringLiteral("Grüße"));
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
    for (const QStringList& args :
         {QStringList{QStringLiteral("--frobnicate")}, QStringList{QStringLiteral("a.gf4"), QStringLiteral("b.gf4")}}) {
        const TCommandLine c = Parse(args);
        EXPECT_EQ(c.action, TCommandLine::TAction::Exit);
        EXPECT_EQ(c.exitCode, 1);
        EXPECT_FALSE(c.output.isEmpty());
    }
}

} // namespace

namespace {

std::string SourceFile(const char* relative) {
    std::string text;
    ReadRegularFile(std::string(NODELOOM_SOURCE) + "/" + relative, text);
    return text;
}

// The help and the manual page list every ending of the format table, and every document that
// names the program's version names the one the build made.
TEST(CommandLine, HelpManualPageAndDocumentsFollowTheFormatTableAndTheVersion) {
    const QString help = Parse({QStringLiteral("--help")}).output;
    const std::string manual = SourceFile("packaging/nodeloom.1");
    for (const TFormat& format : Formats)
        for (const char* ending : format.endings) {
            if (!ending) continue;
            SCOPED_TRACE(ending);
            EXPECT_TRUE(help.contains(QString::fromLatin1(ending)));
            EXPECT_NE(manual.find(ending), std::string::npos);
        }
    const std::string version = std::string(NODELOOM_PRODUCT).substr(std::string("Nodeloom ").size());
    for (const char* document : {"packaging/nodeloom.1", "resources/help.html", "resources/nodeloom.metainfo.xml"}) {
        SCOPED_TRACE(document);
        const std::string text = SourceFile(document);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.find(version), std::string::npos);
    }
}

} // namespace

namespace {

// Without a display the editor says so in one line, whether no display is named or the one named
// cannot be reached; the command-line actions need none.
TEST(CommandLine, WithoutADisplayTheEditorSaysSoInOneLine) {
    for (const char* display : {"", ":987"}) {
        SCOPED_TRACE(display);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        if (*display) env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(NODELOOM_PROGRAM), {});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_EQ(
            p.readAllStandardError(),
            QByteArray("nodeloom: cannot open a display: set DISPLAY, or use --export to convert without a window\n"));
    }
}

} // namespace
