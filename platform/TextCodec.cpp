#include "TextCodec.h"

#include "TextExport.h"

#include <QStringDecoder>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
QString DecodeCp1252(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(Cp1252High[b - 0x80]) : QChar(b));
    }
    return out;
}

constexpr char16_t EscapedByte = 0xDC00; // a byte that is no part of valid UTF-8, 0x80..0xFF

// The length of the well-formed UTF-8 sequence at the start of p, or 0 when none starts there:
// no overlong forms, no surrogates, nothing beyond U+10FFFF.
qsizetype Utf8SequenceLength(const unsigned char* p, qsizetype left) {
    const unsigned char lead = p[0];
    if (lead < 0x80) return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high) return 0;
    for (qsizetype k = 2; k < length; ++k)
        if ((p[k] & 0xC0) != 0x80) return 0;
    return length;
}

} // namespace

QString DecodeFileName(const QByteArray& bytes) {
    QString name;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = Utf8SequenceLength(p + i, bytes.size() - i);
        if (length == 0) {
            name.append(QChar(char16_t(EscapedByte + p[i])));
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
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) return text;
    return DecodeCp1252(bytes);
}

std::string EncodeText(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
