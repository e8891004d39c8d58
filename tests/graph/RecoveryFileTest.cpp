// The recovery file's text read back exactly, and refused whole when anything is missing or
// added; the process marks that tell a running editor's file from a crashed one's.

#include "RecoveryFile.h"

#include "Files.h"

#include <gtest/gtest.h>

#include <string>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool Same(const TRecoveryContent& a, const TRecoveryContent& b) {
    return a.time == b.time && a.fileName == b.fileName && a.importedFrom == b.importedFrom && a.graph == b.graph;
}

} // namespace

// Any name (line breaks, the header's own words, nothing at all) and any graph text come back as
// they were; every shorter or longer text, and one changed length, is refused.
TEST(RecoveryFile, ReadsBackExactlyAndRefusesAnyCutOrAddition) {
    const TRecoveryContent contents[] = {
        {0, "", "", "1\n0\n"},
        {1765234567, "/home/u/a b.gf4", "", "0\n16711680\n0\n2 0\n"},
        {-5, "/tmp/line\nbreak\ngraph 3\n", "/x/cities.graphml", std::string("\0\n\r", 3)},
        {9007199254740993, "\xe9t\xe9.gf4", "time 1\n", std::string(70000, 'x')},
    };
    for (const TRecoveryContent& content : contents) {
        SCOPED_TRACE(content.fileName);
        const std::string text = RecoveryFileText(content);
        TRecoveryContent read;
        std::string problem;
        ASSERT_TRUE(ParseRecoveryFile(text, read, problem)) << problem;
        EXPECT_TRUE(Same(read, content));
        const std::size_t step = text.size() > 500 ? 997 : 1;
        for (std::size_t cut = 0; cut < text.size(); cut += step) {
            problem.clear();
            EXPECT_FALSE(ParseRecoveryFile(text.substr(0, cut), read, problem)) << cut;
            EXPECT_FALSE(problem.empty());
        }
        EXPECT_FALSE(ParseRecoveryFile(text + "\n", read, problem));
        std::string longer = text;
        longer.replace(longer.find("graph ") + 6, 0, "1");
        EXPECT_FALSE(ParseRecoveryFile(longer, read, problem));
    }
    TRecoveryContent read;
    std::string problem;
    EXPECT_FALSE(ParseRecoveryFile("1\n0\n", read, problem)) << "a bare gf4 file is foreign";
    EXPECT_EQ(problem, "it is not a Nodeloom recovery file");
}

TEST(RecoveryFile, NamesCarryTheMarkAndOnlyARunningProcessCountsAsRunning) {
    const std::optional<TProcessMark> self = CurrentProcessMark();
    ASSERT_TRUE(self) << "/proc tells no process mark here";
    EXPECT_TRUE(ProcessRunning(*self));
    EXPECT_EQ(ParseRecoveryFileName(RecoveryFileName(*self)), self);

    // The same number later given to another process, a process of another boot, and one that
    // has ended.
    TProcessMark reused = *self, otherBoot = *self;
    reused.start += 1;
    otherBoot.boot = "0123456789abcdef";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    TProcessMark ended = *self;
    ended.pid = child;
    for (const TProcessMark& gone : {reused, otherBoot, ended}) {
        SCOPED_TRACE(RecoveryFileName(gone));
        EXPECT_FALSE(ProcessRunning(gone));
        EXPECT_EQ(ParseRecoveryFileName(RecoveryFileName(gone)), gone);
    }
    for (const char* name : {"nodeloom-1-2-.recovery", "nodeloom-x-2-ab.recovery", "nodeloom-1-2-ab.recovery.damaged",
                             "nodeloom--2-ab.recovery", "nodeloom-0-2-ab.recovery", "nodeloom-1-2-zz.recovery",
                             "other-1-2-ab.recovery", "nodeloom-+1-2-ab.recovery"})
        EXPECT_FALSE(ParseRecoveryFileName(name)) << name;
}

// Only the files of processes that are gone are listed, newest first; a folder is made with
// its parents, for the user alone.
TEST(RecoveryFile, OnlyOrphansAreListedNewestFirst) {
    TempFolder temp;
    const std::string folder = temp.File("state/nodeloom");
    ASSERT_TRUE(MakeRecoveryFolder(folder));
    struct stat st;
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const TProcessMark self = *CurrentProcessMark();
    TProcessMark older = self, newer = self;
    older.start += 1;
    newer.start += 2;
    // Another editor running: a child that tells its file's name and waits to be killed.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string name = RecoveryFileName(*CurrentProcessMark()) + "\n";
        if (write(pipeEnds[1], name.data(), name.size()) < 0) _exit(1);
        pause();
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string running;
    char c;
    while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') running += c;
    close(pipeEnds[0]);
    WriteBytes(folder + "/" + running, "x");
    WriteBytes(folder + "/" + RecoveryFileName(self), "x");
    WriteBytes(folder + "/" + RecoveryFileName(older), "x");
    WriteBytes(folder + "/" + RecoveryFileName(newer), "x");
    WriteBytes(folder + "/unrelated.txt", "x");
    const timespec times[2] = {{0, UTIME_OMIT}, {1000, 0}};
    utimensat(AT_FDCWD, (folder + "/" + RecoveryFileName(older)).c_str(), times, 0);
    EXPECT_EQ(OrphanedRecoveryFiles(folder), (std::vector<std::string>{folder + "/" + RecoveryFileName(newer),
                                                                       folder + "/" + RecoveryFileName(older)}));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(OrphanedRecoveryFiles(folder).size(), 3u) << "the killed editor's file is an orphan now";
}
