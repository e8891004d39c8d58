// Reading and replacing files without blocking, without unbounded reads and without losing the
// file that was there.

#include "SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MaxLinkHops = 40; // as the kernel's own limit on a chain of symbolic links

TFileKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return TFileKind::Regular;
    if (S_ISDIR(mode)) return TFileKind::Directory;
    if (S_ISFIFO(mode)) return TFileKind::Fifo;
    if (S_ISCHR(mode)) return TFileKind::CharacterDevice;
    if (S_ISBLK(mode)) return TFileKind::BlockDevice;
    if (S_ISSOCK(mode)) return TFileKind::Socket;
    return TFileKind::Other;
}

bool FitsLimit(const struct stat& st, std::uint64_t limit) {
    return st.st_size >= 0 && static_cast<std::uint64_t>(st.st_size) <= limit;
}

// Closes fd when it goes out of scope, keeping errno as it was.
class TFd {
public:
    explicit TFd(int fd) : fd_(fd) {}
    ~TFd() {
        if (fd_ >= 0) {
            const int saved = errno;
            ::close(fd_);
            errno = saved;
        }
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return fd_; }
    // Closes now; false (errno set) when the close reported a failure.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// 0, or the errno of the first failing write.
int WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Writes what content produces, piece by piece; the first failure stops it.
int WriteContent(int fd, const TFileContent& content) {
    return content([fd](const char* data, std::size_t size) { return WriteAll(fd, data, size); });
}

// Copies everything from the offset of `from` to the end into `to`. 0, or the errno of the failure.
int CopyRest(int from, int to) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (const int err = WriteAll(to, buffer, static_cast<std::size_t>(n))) return err;
    }
}

// Flushes a written file to the disk. File systems that cannot flush (EINVAL, EROFS) are not
// a failure of the save.
int Flush(int fd) {
    if (::fdatasync(fd) == 0 || errno == EINVAL || errno == EROFS) return 0;
    return errno;
}

// The file that path names once every symbolic link in its last component is followed, whether
// or not that file exists. 0, or the errno (ELOOP for a chain that does not end).
int FinalTarget(const std::string& path, std::string& target) {
    target = path;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), link, sizeof link);
        if (n < 0) return errno;
        if (n == 0) return ENOENT;
        if (static_cast<std::size_t>(n) == sizeof link) return ENAMETOOLONG;
        std::string next(link, static_cast<std::size_t>(n));
        // A relative link is read from the folder that holds it.
        const std::size_t slash = target.rfind('/');
        if (next[0] != '/' && slash != std::string::npos) next = target.substr(0, slash + 1) + next;
        target = std::move(next);
    }
    return ELOOP;
}

// A name for a temporary file beside the target: hidden, in the same folder (so a rename
// replaces); CreateTemp puts six random characters in place of the X's.
std::string TempBeside(const std::string& folder, const std::string& base) {
    if (base.size() > 240) return folder + ".nodeloom-save.XXXXXX";
    return folder + "." + base + ".XXXXXX";
}

// Creates a new file from the pattern (its last six characters replaced), readable and writable
// as far as the process's umask allows: the kernel applies the mask, so it is never read or
// changed here. name receives the file's path; -1 with errno on failure.
int CreateTemp(const std::string& pattern, std::string& name) {
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device entropy;
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof Letters) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = pattern;
        for (std::size_t i = name.size() - 6; i < name.size(); ++i) name[i] = Letters[pick(entropy)];
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// The errors of a folder that refuses a new file while its files may still be written.
bool NoRoomForNewFile(int err) {
    return err == EACCES || err == EPERM || err == EROFS || err == ENOSPC || err == EDQUOT;
}

// Syncs the folder that holds a file just renamed into it, so that the new name is on the disk
// too. File systems that cannot sync a folder are not a failure of the save.
int SyncFolder(const std::string& folder) {
    TFd fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0) return 0;
    return Flush(fd.Get());
}

TReplaceFailure Failure(TReplaceStep step, int error) {
    TReplaceFailure failure;
    failure.step = step;
    failure.error = error;
    return failure;
}

// A target that exists and is no regular file.
TReplaceFailure Refused(mode_t mode) {
    TReplaceFailure failure = Failure(TReplaceStep::NotRegular, 0);
    failure.kind = KindOf(mode);
    return failure;
}

// Writes the content to a temporary file beside target and renames it over target. old: the target's
// status when it exists (its permissions, owner and group carry over), else null.
TReplaceFailure ReplaceByRename(const std::string& target, const std::string& folder, const std::string& temp,
                                const TFileContent& content, const struct stat* old) {
    std::string name;
    TFd fd(CreateTemp(temp, name));
    if (fd.Get() < 0) return Failure(TReplaceStep::Create, errno);

    int err = 0;
    if (old) {
        // Owner first: a change of owner clears the set-user-ID bits that fchmod then restores.
        if (::fchown(fd.Get(), old->st_uid, old->st_gid) != 0) {
            const int ignored = ::fchown(fd.Get(), static_cast<uid_t>(-1), old->st_gid);
            (void)ignored; // a user may not give a file away, nor always keep its group
        }
        if (::fchmod(fd.Get(), old->st_mode & 07777) != 0) err = errno;
    }
    if (!err) err = WriteContent(fd.Get(), content);
    if (!err) err = Flush(fd.Get());
    if (!err && !fd.Close()) err = errno;
    if (!err && ::rename(name.c_str(), target.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(name.c_str());
        return Failure(TReplaceStep::Write, err);
    }
    if ((err = SyncFolder(folder))) return Failure(TReplaceStep::Write, err);
    return {};
}

// Writes the content into the open target itself, its old content kept in memory and written back when
// the write fails.
TReplaceFailure ReplaceInPlaceFromMemory(int fd, const std::string& target, const TFileContent& content) {
    std::string old;
    if (const TFileFailure failure = ReadWholeFile(target, old)) {
        return Failure(TReplaceStep::Create, failure.problem == TFileProblem::System ? failure.error : EFBIG);
    }
    int err = ::ftruncate(fd, 0) != 0 ? errno : 0;
    if (!err) err = WriteContent(fd, content);
    if (!err) err = Flush(fd);
    if (!err) return {};
    if (::lseek(fd, 0, SEEK_SET) == 0 && ::ftruncate(fd, 0) == 0 && WriteAll(fd, old.data(), old.size()) == 0)
        Flush(fd);
    return Failure(TReplaceStep::Write, err);
}

// Writes the content into the open target itself (every hard link sees them), after keeping a copy of
// the old content in a temporary file that is written back when the write fails.
TReplaceFailure ReplaceInPlace(int fd, const std::string& target, const std::string& temp,
                               const TFileContent& content) {
    std::string copyName;
    TFd copy(CreateTemp(temp, copyName));
    if (copy.Get() < 0) {
        // A folder that takes no new file: the old content is kept in memory instead.
        if (!NoRoomForNewFile(errno)) return Failure(TReplaceStep::Create, errno);
        return ReplaceInPlaceFromMemory(fd, target, content);
    }
    int err = 0;
    {
        TFd old(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        err = old.Get() < 0 ? errno : CopyRest(old.Get(), copy.Get());
    }
    if (!err) err = Flush(copy.Get());
    if (err) {
        ::unlink(copyName.c_str());
        return Failure(TReplaceStep::Create, err);
    }

    err = ::ftruncate(fd, 0) != 0 ? errno : 0;
    if (!err) err = WriteContent(fd, content);
    if (!err) err = Flush(fd);
    if (!err) {
        ::unlink(copyName.c_str());
        return {};
    }

    // Put the old content back. Should that fail as well, the copy stays beside the target.
    const bool restored = ::lseek(copy.Get(), 0, SEEK_SET) == 0 && ::lseek(fd, 0, SEEK_SET) == 0 &&
                          ::ftruncate(fd, 0) == 0 && CopyRest(copy.Get(), fd) == 0 && Flush(fd) == 0;
    if (restored) ::unlink(copyName.c_str());
    return Failure(TReplaceStep::Write, err);
}

} // namespace

TFileFailure AsFileFailure(const TReplaceFailure& failure) {
    switch (failure.step) {
    case TReplaceStep::None: return {};
    case TReplaceStep::NotRegular: return TFileFailure::NotRegularFile(failure.kind);
    case TReplaceStep::Create:
    case TReplaceStep::Write: break;
    }
    return TFileFailure::FromErrno(failure.error);
}

bool ReadRegularFile(const std::string& path, std::string& bytes, std::uint64_t limit) {
    return !ReadWholeFile(path, bytes, limit);
}

TFileFailure ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t limit) {
    bytes.clear();
    // What the path is, before it is opened: opening a FIFO for reading would wait for a writer.
    struct stat st;
    auto refused = [&st, limit]() -> TFileFailure {
        if (!S_ISREG(st.st_mode)) return TFileFailure::NotRegularFile(KindOf(st.st_mode));
        if (!FitsLimit(st, limit)) return TFileFailure::TooLargeFile(limit);
        return {};
    };
    if (::stat(path.c_str(), &st) != 0) return TFileFailure::FromErrno(errno);
    if (TFileFailure failure = refused()) return failure;
    // O_NONBLOCK: should the path have become a FIFO since, the open still returns at once.
    TFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0) return TFileFailure::FromErrno(errno);
    if (TFileFailure failure = refused()) return failure;

    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n == 0) return {};
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            bytes.clear();
            return TFileFailure::FromErrno(err);
        }
        // A file that grows while it is read is still held to the limit.
        if (static_cast<std::uint64_t>(n) > limit - bytes.size()) {
            bytes.clear();
            return TFileFailure::TooLargeFile(limit);
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

namespace {

TReplaceFailure ReplaceWith(const std::string& path, const TFileContent& content) {
    std::string target;
    if (const int err = FinalTarget(path, target)) return Failure(TReplaceStep::Create, err);
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string temp = TempBeside(folder, base);

    struct stat st;
    if (::lstat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) return Failure(TReplaceStep::Create, errno);
        if (base.empty()) return Failure(TReplaceStep::Create, EISDIR);
        return ReplaceByRename(target, folder, temp, content, nullptr);
    }
    // Checked before any open: opening a FIFO for writing waits for a reader, and a device
    // must not be replaced by a file.
    if (!S_ISREG(st.st_mode)) return Refused(st.st_mode);
    // A target that may not be written fails as its open for writing does, even in a folder
    // where the temporary file could be made.
    TFd fd(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0) return Failure(TReplaceStep::Create, errno);
    if (::fstat(fd.Get(), &st) != 0) return Failure(TReplaceStep::Create, errno);
    if (!S_ISREG(st.st_mode)) return Refused(st.st_mode);
    if (st.st_nlink > 1) return ReplaceInPlace(fd.Get(), target, temp, content);
    const TReplaceFailure renamed = ReplaceByRename(target, folder, temp, content, &st);
    // A folder that takes no new file: the file itself is still writable, so it is written in place.
    if (renamed.step == TReplaceStep::Create && NoRoomForNewFile(renamed.error))
        return ReplaceInPlace(fd.Get(), target, temp, content);
    return renamed;
}

} // namespace

TReplaceFailure ReplaceFile(const std::string& path, const TFileContent& content) {
    // An exception from content ends its write as a failure would, and leaves ReplaceFile once the
    // old file is back and no temporary one is left.
    std::exception_ptr thrown;
    const TFileContent guarded = [&](const TFileWriter& write) {
        try {
            return content(write);
        } catch (...) {
            thrown = std::current_exception();
            return ECANCELED;
        }
    };
    const TReplaceFailure failure = ReplaceWith(path, guarded);
    if (thrown) std::rethrow_exception(thrown);
    return failure;
}

TReplaceFailure ReplaceFile(const std::string& path, const std::string& bytes) {
    return ReplaceFile(path, [&bytes](const TFileWriter& write) { return write(bytes.data(), bytes.size()); });
}
