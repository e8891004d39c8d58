// Where the help window finds its page: beside the executable, else the installed copy.

#include "helpformp.h"

#include "CaseNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TPathCase {
    const char* executable;
    const char* page;
};

class HelpPage : public testing::TestWithParam<TPathCase> {};

TEST_P(HelpPage, SitsBesideTheExecutable) {
    EXPECT_EQ(HelpPagePath(QString::fromUtf8(GetParam().executable)), QString::fromUtf8(GetParam().page));
}

INSTANTIATE_TEST_SUITE_P(Paths, HelpPage,
                         testing::Values(TPathCase{"/opt/tools/graphs/nodeloom", "/opt/tools/graphs/help.html"},
                                         TPathCase{"/opt/tools/graphs/other-name", "/opt/tools/graphs/help.html"},
                                         TPathCase{"/nodeloom", "/help.html"}, TPathCase{"nodeloom", "help.html"},
                                         TPathCase{"/home/a b/Gräphs/nodeloom", "/home/a b/Gräphs/help.html"}),
                         [](const testing::TestParamInfo<TPathCase>& c) { return TestName(c.param.executable); });

// An installed program finds its help page in share/nodeloom when there is none beside it.
TEST(HelpPage, BesideTheProgramFirstThenTheInstalledCopy) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.path() + QStringLiteral("/bin");
    const QString share = root.path() + QStringLiteral("/share/nodeloom");
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(share));
    const QString program = bin + QStringLiteral("/nodeloom");

    EXPECT_EQ(FindHelpPage(program), bin + QStringLiteral("/help.html")); // neither exists

    QFile installed(share + QStringLiteral("/help.html"));
    ASSERT_TRUE(installed.open(QIODevice::WriteOnly));
    installed.close();
    EXPECT_EQ(FindHelpPage(program), share + QStringLiteral("/help.html"));

    QFile beside(bin + QStringLiteral("/help.html"));
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.close();
    EXPECT_EQ(FindHelpPage(program), bin + QStringLiteral("/help.html"));
}

} // namespace
