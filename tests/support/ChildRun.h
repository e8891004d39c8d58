#pragma once
// Pieces of a test that run apart, in a child process under a watchdog: a hostile case that could
// hang (a FIFO opened for reading, say) ends when the watchdog fires and is reported, and one that
// runs out of memory cannot take the test with it. The watchdog only asks that the piece finish
// at all; how fast it is belongs to the benchmark.
//
//   RunInChild      forks and runs a function: for test programs without Qt only.
//   RunProgram      runs a program (the editor, or this test program again) as a new process.
//   RanInAChild     runs the current test again in a fresh copy of this test program; for the
//                   window tests, whose process must never be forked.
// TRunAs::Nobody drops root's privileges to the user nobody first (the tests run as root, whom
// file permissions do not bind); a test not run as root runs the piece as itself.

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

enum class TRunAs { Self, Nobody };

// A watchdog of ten times what the slowest piece takes under the sanitizers on a busy machine.
constexpr unsigned WatchdogSeconds = 60;

// The user nobody, whom file permissions bind.
constexpr uid_t NobodyId = 65534;

// Becomes the user nobody, with no supplementary groups: false when that cannot be done. Only
// async-signal-safe calls, so that a child forked from a threaded process may call it before exec.
inline bool BecomeNobody() {
    if (geteuid() != 0) return true;
    return setgroups(0, nullptr) == 0 && setgid(NobodyId) == 0 && setuid(NobodyId) == 0;
}

// The peak resident memory of this process so far, in kB.
inline long PeakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Why a child did not end by itself, from its wait status; "" when it exited.
inline std::string Ending(int status, unsigned watchdogSeconds) {
    if (WIFEXITED(status)) return {};
    if (WIFSIGNALED(status))
        return WTERMSIG(status) == SIGALRM
                   ? "did not finish within the watchdog's " + std::to_string(watchdogSeconds) + " s"
                   : std::string("ended by signal ") + strsignal(WTERMSIG(status));
    return "did not end";
}

// Reads fd to its end.
inline std::string ReadAll(int fd) {
    std::string received;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
}

struct TChildRun {
    bool finished = false; // the child ended by itself, neither killed nor stopped by the watchdog
    std::string failure;   // what broke, as the piece said; or why the child did not finish
    long peakKb = 0;       // peak resident memory of the child above its start, in kB
};

// Runs body in a forked child: body returns "" when its checks hold, else what broke. Never in a
// process in which Qt runs (use RunProgram or RanInAChild there).
inline TChildRun RunInChild(const std::function<std::string()>& body, TRunAs as = TRunAs::Self,
                            unsigned watchdogSeconds = WatchdogSeconds) {
    TChildRun run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        run.failure = "no pipe";
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeEnds[0]);
        alarm(watchdogSeconds);
        std::string failure = as == TRunAs::Nobody && !BecomeNobody() ? "could not become the user nobody" : "";
        const long before = PeakMemoryKb();
        if (failure.empty()) failure = body();
        const long peakKb = PeakMemoryKb() - before;
        const std::string all = std::string(reinterpret_cast<const char*>(&peakKb), sizeof peakKb) + failure;
        ssize_t ignored = write(pipeEnds[1], all.data(), all.size());
        (void)ignored;
        _exit(failure.empty() ? 0 : 1);
    }
    close(pipeEnds[1]);
    const std::string received = ReadAll(pipeEnds[0]);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (run.failure = Ending(status, watchdogSeconds); !run.failure.empty()) return run;
    if (received.size() < sizeof run.peakKb) {
        run.failure = "the child reported nothing";
        return run;
    }
    run.finished = true;
    std::memcpy(&run.peakKb, received.data(), sizeof run.peakKb);
    run.failure = received.substr(sizeof run.peakKb);
    return run;
}

struct TProgramRun {
    bool finished = false; // the program exited by itself
    int exitCode = -1;
    std::string output;  // its standard output and error, interleaved
    std::string failure; // why it did not finish; or why it could not start
};

// Runs the program argv[0] with the arguments after it; environment: "NAME=value" entries that
// replace the inherited ones of that name, and "NAME" alone removes one. Exit code 99: the child
// could not become nobody; 127: the program could not be started.
inline TProgramRun RunProgram(const std::vector<std::string>& argv, TRunAs as = TRunAs::Self,
                              const std::vector<std::string>& environment = {},
                              unsigned watchdogSeconds = WatchdogSeconds) {
    TProgramRun run;
    // Everything the child needs is made before the fork: after it, only exec may follow.
    std::vector<std::string> env;
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; *e; ++e) {
        bool replaced = false;
        for (const std::string& change : environment) replaced = replaced || nameOf(change) == nameOf(*e);
        if (!replaced) env.emplace_back(*e);
    }
    for (const std::string& change : environment)
        if (change.find('=') != std::string::npos) env.push_back(change);
    std::vector<char*> args, envp;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    args.push_back(nullptr);
    envp.push_back(nullptr);

    int pipeEnds[2];
    if (argv.empty() || pipe(pipeEnds) != 0) {
        run.failure = "nothing to run";
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        alarm(watchdogSeconds); // kept across exec
        if (as == TRunAs::Nobody && !BecomeNobody()) _exit(99);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    run.output = ReadAll(pipeEnds[0]);
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.failure = Ending(status, watchdogSeconds);
    run.finished = run.failure.empty();
    if (run.finished) run.exitCode = WEXITSTATUS(status);
    return run;
}

// True in the copy of the test program that RanInAChild started.
inline bool InTestChild() { return std::getenv("NODELOOM_TEST_CHILD") != nullptr; }

// For a test that must run apart from this process: in the parent, runs the current test again in
// a fresh copy of this program (as nobody if asked), reports what it reported (a failure, or a
// skip with its reason) and returns true, and the test returns; in that copy, returns false and
// the test goes on.
inline bool RanInAChild(TRunAs as = TRunAs::Self, unsigned watchdogSeconds = WatchdogSeconds) {
    if (InTestChild()) return false;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        ADD_FAILURE() << "cannot find this test program";
        return true;
    }
    self[length] = '\0';
    const TProgramRun run =
        RunProgram({self, "--gtest_filter=" + std::string(test->test_suite_name()) + "." + test->name()}, as,
                   {"NODELOOM_TEST_CHILD=1"}, watchdogSeconds);
    if (!run.finished) {
        ADD_FAILURE() << "the test in a child process " << run.failure << "\n" << run.output;
    } else if (run.exitCode == 99 && as == TRunAs::Nobody) {
        ADD_FAILURE() << "could not become the user nobody";
    } else if (run.exitCode != 0) {
        ADD_FAILURE() << "the test failed in a child process (exit code " << run.exitCode << "):\n" << run.output;
    } else if (run.output.find("[  PASSED  ] 1 test") == std::string::npos) {
        if (run.output.find("[  SKIPPED ] 1 test") == std::string::npos) {
            ADD_FAILURE() << "the child ran no test:\n" << run.output;
        } else {
            // GoogleTest prints the reason between "Skipped" and an empty line.
            const std::size_t from = run.output.find("Skipped\n");
            const std::string reason =
                from == std::string::npos ? "" : run.output.substr(from + 8, run.output.find("\n\n", from) - from - 8);
            [&] { GTEST_SKIP() << reason; }();
        }
    }
    return true;
}

// Lets the files this process writes grow to `bytes` only; a write beyond fails with EFBIG instead
// of ending the process, as a write to a full disk fails. For a child process: it stays so.
inline void LimitFileSize(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}
