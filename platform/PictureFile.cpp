#include "PictureFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, int err) {
    throw std::runtime_error(std::string(what) + " \"" + path + "\". " + std::strerror(err));
}

} // namespace

std::string EncodeBmp(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "BMP")) throw std::runtime_error("The picture cannot be encoded as BMP");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void WritePictureFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) ThrowFileError("Cannot create file", path, errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            ThrowFileError("Cannot write file", path, err);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) ThrowFileError("Cannot write file", path, errno);
}
