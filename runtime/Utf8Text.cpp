// Direct UTF-8 decoding of the common case; see Utf8Text.h.
#include "runtime/Utf8Text.h"

#include <QByteArrayView>
#include <QStringDecoder>

namespace sarvo {

QChar* decodeUtf8Into(QChar* out, const char* data, qsizetype size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const bool byteOrderMark = size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF;
    if (!byteOrderMark) {
        QChar* o = out;
        qsizetype i = 0;
        const auto continues = [&](qsizetype at) { return at < size && (p[at] & 0xC0) == 0x80; };
        while (i < size) {
            const unsigned c = p[i];
            if (c < 0x80) {
                *o++ = QChar(char16_t(c));
                ++i;
            } else if (c >= 0xC2 && c <= 0xDF && continues(i + 1)) {
                *o++ = QChar(char16_t(((c & 0x1F) << 6) | (p[i + 1] & 0x3F)));
                i += 2;
            } else if (c >= 0xE0 && c <= 0xEF && continues(i + 1) && continues(i + 2)) {
                const auto u = char16_t(((c & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F));
                // Overlong forms and surrogates are malformed; the last block of the plane (its
                // non-characters among them) is left to the decoder as well.
                if (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF) || u >= 0xFDD0) break;
                *o++ = QChar(u);
                i += 3;
            } else {
                break;
            }
        }
        if (i == size) return o;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return decoder.appendToBuffer(out, QByteArrayView(data, size));
}

} // namespace sarvo
