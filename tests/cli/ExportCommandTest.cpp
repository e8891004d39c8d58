// nodeloom FILE --export OUTPUT [--size WxH]: how the command line is read, and the program
// itself run without a display: what it writes, and how each failure ends.

#include "AppWindows.h"
#include "ChildRun.h"
#include "CommandLine.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TParseCase {
    QStringList arguments;
    TCommandLine::TAction action;
    int width, height;
    const char* output; // what the message holds; empty when there is none
};

TEST(ExportCommand, OptionsAreReadAndABadSizeIsRefused) {
    using A = TCommandLine::TAction;
    const TParseCase cases[] = {
        {{"g.gf4", "--export", "o.svg"}, A::Export, 0, 0, ""},
        {{"--export=o.PNG", "g.gf4", "--size", "640x480"}, A::Export, 640, 480, ""},
        {{"g.gf4", "--export=o.png", "--size=1X16384"}, A::Export, 1, 16384, ""},
        {{"g.gf4", "--crop", "--export=o.png"}, A::Export, 0, 0, ""},
        {{"g.gf4", "--export=o.png", "--size", "0x10"}, A::Exit, 0, 0, "the size \"0x10\" is not WIDTHxHEIGHT"},
        {{"g.gf4", "--export=o.png", "--size", "16385x10"}, A::Exit, 0, 0, "from 1 to 16384"},
        {{"g.gf4", "--export=o.png", "--size", "12x12x12"}, A::Exit, 0, 0, "the size"},
        {{"g.gf4", "--export=o.png", "--size", "-4x4"}, A::Exit, 0, 0, "the size"},
        {{"g.gf4", "--size", "10x10"}, A::Exit, 0, 0, "--size is given with --export only"},
        {{"--export", "o.png"}, A::Exit, 0, 0, "Cannot export to \"o.png\": no graph file is named"},
        {{"g.gf4", "--export"}, A::Exit, 0, 0, "--export"},
        {{"--help"}, A::Exit, 0, 0, "--export <OUTPUT>"},
        {{"--help"}, A::Exit, 0, 0, "--size <WIDTHxHEIGHT>"},
        {{"--help"}, A::Exit, 0, 0, "--crop"},
    };
    for (const TParseCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const TCommandLine r = ParseCommandLine(QStringList{QStringLiteral("nodeloom")} + c.arguments);
        EXPECT_EQ(r.action, c.action);
        EXPECT_EQ(r.exitCode, c.action == A::Exit && c.arguments.first() != QLatin1String("--help") ? 1 : 0);
        EXPECT_TRUE(r.output.contains(QString::fromUtf8(c.output))) << r.output.toStdString();
        if (c.action == A::Export) {
            EXPECT_EQ(r.file, QStringLiteral("g.gf4"));
            ASSERT_EQ(r.exportPaths.size(), 1);
            EXPECT_TRUE(r.exportPaths.first().startsWith(QLatin1String("o.")));
            EXPECT_EQ(r.exportWidth, c.width);
            EXPECT_EQ(r.exportHeight, c.height);
            EXPECT_EQ(r.exportCrop, c.arguments.contains(QStringLiteral("--crop")));
        }
    }
}

struct TRun {
    int exitCode;
    QByteArray out, err;
};

// The program with no display to talk to; as the user nobody when asked (the tests run as root,
// whom file permissions do not bind), exit status 99 when that cannot be done.
TRun RunProgram(const QStringList& arguments, bool asNobody = false) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    if (asNobody && geteuid() == 0)
        p.setChildProcessModifier([] {
            if (!BecomeNobody()) _exit(99);
        });
    p.start(QStringLiteral(NODELOOM_PROGRAM), arguments);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

// Opening the file in the window and exporting it at the surface's size give the same pixels.
TEST(ExportCommand, WithoutADisplayItWritesWhatTheWindowShows) {
    TAppWindows app;
    app.ShowMain();
    LoadGraph(app.ui.LiveGraph, NODELOOM_TEST_DATA "/undirected_weighted.gf4");
    app.form1->RefreshView();
    const QImage shown = app.ui.Image1->Picture;

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("shown.PNG"));
    const TRun run =
        RunProgram({QStringLiteral(NODELOOM_TEST_DATA "/undirected_weighted.gf4"), QStringLiteral("--export=") + out,
                    QStringLiteral("--size"), QStringLiteral("%1x%2").arg(shown.width()).arg(shown.height())});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out + run.err, QByteArray());
    EXPECT_EQ(QImage(out, "PNG").convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{QStringLiteral("shown.PNG")});
}

// A drawing that reaches past the surface's top and left corner is drawn whole, shifted as --crop
// shifts it; one that does not is left where it is.
TEST(ExportCommand, VerticesBeforeTheCornerAreDrawnByShiftingThePicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString graph = dir.filePath(QStringLiteral("off.gf4"));
    QFile file(graph);
    const QByteArray text = "[directed]\r\n[unweighted]\r\n[black]\r\n2 1\r\n-40 -30 /*a*/\r\n100 100 /*b*/\r\n1 2\r\n";
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    const QString plain = dir.filePath(QStringLiteral("plain.png")), crop = dir.filePath(QStringLiteral("crop.png"));
    EXPECT_EQ(RunProgram({graph, QStringLiteral("--export"), plain}).exitCode, 0);
    EXPECT_EQ(RunProgram({graph, QStringLiteral("--crop"), QStringLiteral("--export"), crop}).exitCode, 0);
    const QImage shifted(plain), cropped(crop);
    ASSERT_FALSE(shifted.isNull());
    EXPECT_EQ(shifted.convertToFormat(QImage::Format_RGB32), cropped.convertToFormat(QImage::Format_RGB32));
    // The first vertex's outline is in the picture: a dark pixel in the top left quarter.
    bool dark = false;
    for (int y = 0; y < shifted.height() / 2 && !dark; ++y)
        for (int x = 0; x < shifted.width() / 2 && !dark; ++x) dark = qGray(shifted.pixel(x, y)) < 128;
    EXPECT_TRUE(dark);
}

struct TFailureCase {
    const char* name;
    QStringList
        arguments;       // in the test's folder: good.gf4, junk.gf4 (a read error), out.png (an old picture), dir.png/
    const char* message; // the whole line, with the folder written as %1
    bool asNobody;
};

TEST(ExportCommand, EachFailureSaysWhyExitsOneAndLeavesTheOldOutput) {
    const QByteArray old = "the old picture";
    const TFailureCase cases[] = {
        {"input missing",
         {"%1/missing.gf4", "--export", "%1/out.png"},
         "Cannot open \"%1/missing.gf4\": No such file or directory",
         false},
        {"input no graph",
         {"%1/junk.gf4", "--export", "%1/out.png"},
         "Cannot open \"%1/junk.gf4\": it is not a graph file (line 4 is not a vertex count of 0 to 100 and an edge "
         "count of 0 to 10000)",
         false},
        {"input a folder",
         {"%1/dir.png", "--export", "%1/out.png"},
         "Cannot open \"%1/dir.png\": it is a folder, not a regular file",
         false},
        {"input a FIFO",
         {"%1/fifo.gf4", "--export", "%1/out.png"},
         "Cannot open \"%1/fifo.gf4\": it is a FIFO (named pipe), not a regular file",
         false},
        {"input too large",
         {"%1/huge.gf4", "--export", "%1/out.png"},
         "Cannot open \"%1/huge.gf4\": it is larger than 256 MiB",
         false},
        {"input damaged",
         {"%1/short.gf4", "--export", "%1/out.png"},
         "The file \"%1/short.gf4\" is damaged: line 6: the file ends before vertex 2 of 3",
         false},
        {"output is the input",
         {"%1/good.gf4", "--export", "%1/same.png"},
         "Cannot export to \"%1/same.png\": it is the graph file being read",
         false},
        {"unknown ending",
         {"%1/good.gf4", "--export", "%1/out.gif"},
         "Cannot export to \"%1/out.gif\": unknown ending; the known ones are .png, .bmp, .jpg, .jpeg, .svg, .pdf, "
         ".dot, .gv, .graphml, .tex, .gf4",
         false},
        {"bad size",
         {"%1/good.gf4", "--export", "%1/out.png", "--size", "0x7"},
         "Cannot export to \"%1/out.png\": the size \"0x7\" is not WIDTHxHEIGHT, two whole numbers from 1 to 16384.",
         false},
        {"no such folder",
         {"%1/good.gf4", "--export", "%1/none/out.png"},
         "Cannot write \"%1/none/out.png\": No such file or directory",
         false},
        {"output a folder",
         {"%1/good.gf4", "--export", "%1/dir.png"},
         "Cannot write \"%1/dir.png\": it is a folder, not a regular file",
         false},
        {"output a FIFO",
         {"%1/good.gf4", "--export", "%1/fifo.svg"},
         "Cannot write \"%1/fifo.svg\": it is a FIFO (named pipe), not a regular file",
         false},
        {"output a device",
         {"%1/good.gf4", "--export", "%1/full.png"},
         "Cannot write \"%1/full.png\": it is a character device, not a regular file",
         false},
        {"output not writable",
         {"%1/good.gf4", "--export", "%1/out.png"},
         "Cannot write \"%1/out.png\": Permission denied",
         true},
        {"second output fails",
         {"%1/good.gf4", "--export", "%1/new.svg", "--export", "%1/out.gif"},
         "Cannot export to \"%1/out.gif\": unknown ending; the known ones are .png, .bmp, .jpg, .jpeg, .svg, .pdf, "
         ".dot, .gv, .graphml, .tex, .gf4",
         false},
    };
    for (const TFailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.path();
        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0755), 0); // readable by nobody, writable by root alone
        ASSERT_TRUE(QFile::copy(QStringLiteral(NODELOOM_TEST_DATA "/small.gf4"), path + QStringLiteral("/good.gf4")));
        for (const auto& [name, bytes] :
             {std::pair<const char*, QByteArray>("junk.gf4", "[directed]\n[weighted]\n[black]\nno counts\n"),
              std::pair<const char*, QByteArray>("out.png", old)}) {
            QFile file(path + QLatin1Char('/') + QLatin1String(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        ASSERT_TRUE(QDir(path).mkdir(QStringLiteral("dir.png")));
        const QByteArray folder = QFile::encodeName(path);
        ASSERT_EQ(mkfifo(folder + "/fifo.gf4", 0644), 0);
        ASSERT_EQ(mkfifo(folder + "/fifo.svg", 0644), 0);
        ASSERT_EQ(symlink("/dev/full", folder + "/full.png"), 0);
        ASSERT_EQ(symlink("good.gf4", folder + "/same.png"), 0);
        {
            QFile huge(path + QStringLiteral("/huge.gf4"));
            ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(300 << 20)); // sparse: no disk used
            QFile damaged(path + QStringLiteral("/short.gf4"));
            const QByteArray lines = "[directed]\n[unweighted]\n[black]\n3 0\n1 2 /*a*/\n";
            ASSERT_TRUE(damaged.open(QIODevice::WriteOnly) && damaged.write(lines) == lines.size());
        }
        const QStringList before = QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);

        QStringList arguments;
        for (const QString& a : c.arguments) arguments << QString(a).replace(QLatin1String("%1"), path);
        const TRun run = RunProgram(arguments, c.asNobody);
        EXPECT_EQ(run.exitCode, 1) << "99: cannot become nobody";
        EXPECT_EQ(QString::fromUtf8(run.err),
                  QString::fromUtf8(c.message).replace(QLatin1String("%1"), path) + QLatin1Char('\n'));
        EXPECT_EQ(run.out, QByteArray());
        QFile picture(path + QStringLiteral("/out.png"));
        EXPECT_TRUE(picture.open(QIODevice::ReadOnly) && picture.readAll() == old);
        EXPECT_EQ(QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), before);
    }
}

} // namespace
