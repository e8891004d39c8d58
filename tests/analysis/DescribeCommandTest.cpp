// nodeloom FILE --describe [OUTPUT]: the command line read, the program run as a child (its
// outputs in three forms) and the description inside the exported pictures, read the way their
// readers read it: the SVG's title and desc, the PNG's iTXt chunk, the PDF's information through
// pdfinfo, the TikZ picture's alt key; without --describe the pictures carry none of it.

#include "CommandLine.h"
#include "CommandRun.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

// A weighted cycle of four named vertices.
const char* const Cycle = "[undirected]\n[weighted]\n[black]\n4 4\n100 100 /*Ann*/\n200 100 /*Bob*/\n"
                          "200 200 /*Cy*/\n100 200 /*Dee*/\n1 2 /*5*/\n2 3 /*7*/\n3 4 /*9*/\n1 4 /*9*/\n";

class DescribeCommand : public testing::Test {
protected:
    void SetUp() override {
        QFile f(dir.filePath("cycle.gf4"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Cycle);
    }
    TRun Program(const QStringList& arguments) {
        return RunTool(QStringLiteral(NODELOOM_PROGRAM), QStringList{QStringLiteral("cycle.gf4")} + arguments,
                       dir.path());
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
};

TEST(DescribeArguments, OutputIsOptional) {
    using A = TCommandLine::TAction;
    const struct {
        QStringList arguments;
        A action;
        const char* path; // the description's output; nullptr: no --describe
        const char* message;
    } cases[] = {
        {{"g.gf4", "--describe"}, A::Report, "", ""},
        {{"--describe", "d.md", "g.gf4"}, A::Report, "d.md", ""},
        {{"g.gf4", "--describe", "-", "--show", "mst"}, A::Report, "-", ""},
        {{"g.gf4", "--describe=d.JSON", "--report", "r.txt"}, A::Report, "d.JSON", ""},
        {{"g.gf4", "--export", "g.svg", "--describe"}, A::Report, "", ""},
        {{"g.gf4", "--export", "g.svg"}, A::Export, nullptr, ""},
        {{"--describe"}, A::Exit, nullptr, "Cannot describe: no graph file is named."},
        {{"--help"}, A::Exit, nullptr, "--describe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const TCommandLine r = ParseCommandLine(QStringList{QStringLiteral("nodeloom")} + c.arguments);
        EXPECT_EQ(r.action, c.action);
        EXPECT_TRUE(r.output.contains(QString::fromUtf8(c.message))) << r.output.toStdString();
        if (c.action == A::Exit) continue;
        EXPECT_EQ(r.file, QStringLiteral("g.gf4"));
        EXPECT_EQ(r.describe, c.path != nullptr);
        if (c.path) {
            EXPECT_EQ(r.describePath, QString::fromUtf8(c.path));
        }
    }
}

// The three forms hold the same texts; standard output has the text form, its first line short.
TEST_F(DescribeCommand, FormsAgree) {
    const TRun run = Program({"--describe", "--show", "path:Ann,Cy"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = QString::fromUtf8(run.out);
    const QString shortText = text.section(QLatin1Char('\n'), 0, 0);
    EXPECT_LE(shortText.toUcs4().size(), 150);
    EXPECT_TRUE(text.startsWith(shortText + QStringLiteral("\n\n")));
    for (const char* part : {"Ann", "Bob", "Cy", "Dee", "(5)", "(7)", "(9)", "goes through Bob; length 12."})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part;

    ASSERT_EQ(Program({"--describe", "d.json", "--show", "path:Ann,Cy"}).exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(Read(Path("d.json"))).object();
    EXPECT_EQ(json.value(QStringLiteral("format")).toString(), QStringLiteral("nodeloom-description/1"));
    EXPECT_EQ(json.value(QStringLiteral("short")).toString(), shortText);
    EXPECT_EQ(shortText + QStringLiteral("\n\n") + json.value(QStringLiteral("long")).toString(), text);

    ASSERT_EQ(Program({"--describe", "d.md"}).exitCode, 0);
    const QString markdown = QString::fromUtf8(Read(Path("d.md")));
    EXPECT_TRUE(markdown.startsWith(QStringLiteral("# ") + shortText + QStringLiteral("\n\n")));
    EXPECT_TRUE(markdown.contains(QStringLiteral("\n- Ann: degree 2; neighbours Bob (5), Dee (9).\n- Bob:")));

    const TRun wrong = Program({"--describe", "d.csv"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.err.contains("Cannot write the description to \"d.csv\": unknown ending"));
    EXPECT_FALSE(QFile::exists(Path("d.csv")));
}

// The texts of an iTXt chunk with the keyword "Description", or "" when there is none.
QString PngDescription(const QByteArray& png) {
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const quint32 n = (quint32(quint8(png[at])) << 24) | (quint32(quint8(png[at + 1])) << 16) |
                          (quint32(quint8(png[at + 2])) << 8) | quint32(quint8(png[at + 3]));
        const QByteArray type = png.mid(at + 4, 4), data = png.mid(at + 8, qsizetype(n));
        if (type == "iTXt" && data.startsWith(QByteArray("Description\0\0\0", 14))) {
            // Keyword, compression flag and method, language tag and translated keyword, each ended.
            const qsizetype text = data.indexOf('\0', data.indexOf('\0', 14) + 1) + 1;
            return QString::fromUtf8(data.mid(text));
        }
        at += 12 + qsizetype(n);
    }
    return {};
}

struct TSvgTexts {
    QString role, title, desc;
};
TSvgTexts SvgTexts(const QByteArray& svg) {
    TSvgTexts t;
    QXmlStreamReader xml(svg);
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("svg")) {
            t.role = xml.attributes().value(QLatin1String("role")).toString();
            continue;
        }
        if (xml.name() == QLatin1String("title"))
            t.title = xml.readElementText();
        else if (xml.name() == QLatin1String("desc"))
            t.desc = xml.readElementText();
        else
            xml.skipCurrentElement();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return t;
}

TEST_F(DescribeCommand, PicturesCarryTheDescriptionOnlyWhenAsked) {
    const TRun described = Program({"--describe"});
    ASSERT_EQ(described.exitCode, 0);
    const QString text = QString::fromUtf8(described.out);
    const QString shortText = text.section(QLatin1Char('\n'), 0, 0);
    const QString longText = text.mid(shortText.size() + 2);

    const QStringList exports = {"--export", "d.svg", "--export", "d.png", "--export", "d.pdf", "--export", "d.tex"};
    const TRun run = Program(exports + QStringList{"--describe"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()); // without OUTPUT the pictures alone get it

    const TSvgTexts svg = SvgTexts(Read(Path("d.svg")));
    EXPECT_EQ(svg.role, QStringLiteral("img"));
    EXPECT_EQ(svg.title, shortText);
    EXPECT_EQ(svg.desc.simplified(), longText.simplified());
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (!xmllint.isEmpty()) {
        const TRun lint = RunTool(xmllint, {"--noout", "d.svg"}, dir.path());
        EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
    }

    EXPECT_EQ(PngDescription(Read(Path("d.png"))), shortText + QStringLiteral("\n\n") + longText);

    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (!pdfinfo.isEmpty()) {
        const TRun info = RunTool(pdfinfo, {"d.pdf"}, dir.path());
        EXPECT_EQ(info.exitCode, 0);
        EXPECT_TRUE(info.err.isEmpty()) << info.err.toStdString(); // a broken offset table is reported
        const QString lines = QLatin1Char('\n') + QString::fromUtf8(info.out);
        EXPECT_TRUE(
            lines.contains(QRegularExpression(QStringLiteral("\nTitle: +") + QRegularExpression::escape(shortText))))
            << info.out.toStdString();
        EXPECT_TRUE(
            lines.contains(QRegularExpression(QStringLiteral("\nSubject: +") + QRegularExpression::escape(shortText))));
    }

    const QString tikz = QString::fromUtf8(Read(Path("d.tex")));
    EXPECT_TRUE(tikz.contains(QStringLiteral("\\begin{tikzpicture}[alt/.try={") + shortText + QStringLiteral("}, ")));
    EXPECT_TRUE(tikz.contains(QStringLiteral("\n% - Ann: degree 2; neighbours Bob (5), Dee (9).\n")));
    EXPECT_FALSE(tikz.contains(QStringLiteral("result edge")));

    // Without --describe, as ever.
    ASSERT_EQ(Program(exports).exitCode, 0);
    const TSvgTexts plain = SvgTexts(Read(Path("d.svg")));
    EXPECT_EQ(plain.role, QString());
    EXPECT_EQ(plain.title, QStringLiteral("Nodeloom graph"));
    EXPECT_EQ(plain.desc, QString());
    EXPECT_EQ(PngDescription(Read(Path("d.png"))), QString());
    EXPECT_FALSE(Read(Path("d.pdf")).contains("/Subject"));
    EXPECT_FALSE(Read(Path("d.tex")).contains("alt/.try"));
}

} // namespace
