#include "PictureFile.h"

#include "SafeFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstring>
#include <stdexcept>

namespace {

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, const TReplaceFailure& failure) {
    throw std::runtime_error(std::string(what) + " \"" + path + "\". " + FailureSentence(AsFileFailure(failure)));
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
    const TReplaceFailure failure = ReplaceFile(path, bytes);
    switch (failure.step) {
    case TReplaceStep::None: return;
    case TReplaceStep::NotRegular:
    case TReplaceStep::Create: ThrowFileError("Cannot create file", path, failure);
    case TReplaceStep::Write: ThrowFileError("Cannot write file", path, failure);
    }
}
