#pragma once
// Runs a piece of a test in a forked child process, with a time limit, and measures it: the wall
// time of the piece and the peak of the child's resident memory above its start (getrusage). A
// piece that hangs (a FIFO opened for reading, say) is ended by the limit and reported, and a
// piece that runs out of memory cannot take the test with it.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <string>

struct TChildRun {
    bool finished = false; // the child ended by itself, neither killed nor stopped by the limit
    std::string failure;   // what broke, as the piece said; or why the child did not finish
    double seconds = 0;    // wall time of the piece
    long peakKb = 0;       // peak resident memory of the child above its start, in kB
};

enum class TRunAs { Self, Nobody };

// body returns "" when its checks hold, else what broke. TRunAs::Nobody: the child drops root's
// privileges to the user nobody first (file permissions bind it; they do not bind root) and the
// run fails loudly when it cannot; a test not run as root runs the piece as itself.
inline TChildRun RunInChild(const std::function<std::string()>& body, TRunAs as = TRunAs::Self,
                            unsigned limitSeconds = 10) {
    struct TReport {
        double seconds;
        long peakKb;
    };
    TChildRun run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        run.failure = "no pipe";
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeEnds[0]);
        alarm(limitSeconds);
        std::string failure;
        if (as == TRunAs::Nobody && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            failure = "could not drop privileges to the user nobody";
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const auto start = std::chrono::steady_clock::now();
        if (failure.empty()) failure = body();
        const TReport report{std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                             (getrusage(RUSAGE_SELF, &after), after.ru_maxrss - before.ru_maxrss)};
        const std::string message(reinterpret_cast<const char*>(&report), sizeof report);
        const std::string all = message + failure;
        ssize_t ignored = write(pipeEnds[1], all.data(), all.size());
        (void)ignored;
        _exit(failure.empty() ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::string received;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) {
        run.failure = WTERMSIG(status) == SIGALRM ? "did not finish within " + std::to_string(limitSeconds) + " s"
                                                  : std::string("ended by signal ") + strsignal(WTERMSIG(status));
        return run;
    }
    if (received.size() < sizeof(TReport)) {
        run.failure = "the child reported nothing";
        return run;
    }
    TReport report;
    std::memcpy(&report, received.data(), sizeof report);
    run.finished = true;
    run.seconds = report.seconds;
    run.peakKb = report.peakKb;
    run.failure = received.substr(sizeof report);
    return run;
}

// Lets the files this process writes grow to `bytes` only; a write beyond fails with EFBIG instead
// of ending the process, as a write to a full disk fails. For a child process: it stays so.
inline void LimitFileSize(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}
