#include "TextCodec.h"

#include "Text.h"

namespace {

constexpr char16_t EscapedByte = 0xDC00; // a byte that is no part of valid UTF-8, 0x80..0xFF

} // namespace

QString DecodeFileName(const QByteArray& bytes) {
    QString name;
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    for (qsizetype i = 0; i < bytes.size();) {
        const auto length = static_cast<qsizetype>(Utf8SequenceLength(view, static_cast<std::size_t>(i)));
        if (length == 0) {
            name.append(QChar(char16_t(EscapedByte + static_cast<unsigned char>(bytes[i]))));
            ++i;
        } else {
            name.append(QString::fromUtf8(bytes.constData() + i, length));
            i += length;
        }
    }
    return name;
}

QByteArray EncodeFileName(const QString& name) {
    QByteArray bytes;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name.at(i).unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            bytes.append(name.mid(i, 2).toUtf8());
            ++i;
        } else if (unit >= EscapedByte + 0x80 && unit <= EscapedByte + 0xFF) {
            bytes.append(static_cast<char>(unit - EscapedByte));
        } else {
            bytes.append(QString(QChar(unit)).toUtf8());
        }
    }
    return bytes;
}

QString DecodeText(const std::string& bytes) {
    const std::u32string text = DecodeText32(bytes);
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

std::string EncodeText(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
