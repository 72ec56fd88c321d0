// Decoding an engine's UTF-8 into a reused buffer gives exactly what QString::fromUtf8 gives,
// for well-formed text and for every kind of malformed text an account set may hold.
#include "runtime/Utf8Text.h"

#include <QString>
#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Utf8Text, DecodesAsQtDoes) {
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {"empty", QByteArray()},
        {"ascii code", "100201"},
        {"chinese name", "工商银行人民币户"},
        {"mixed", "1002 银行存款 Bank"},
        {"two-byte", "Caf\xC3\xA9 \xC2\xA9"},
        {"full-width digits", "\xEF\xBC\x91\xEF\xBC\x90"},
        {"beyond the basic plane", "\xF0\xA0\xAE\xB7 x"},
        {"byte order mark in front", QByteArray("\xEF\xBB\xBF") + "1001"},
        {"byte order mark inside", QByteArray("10\xEF\xBB\xBF") + "01"},
        {"last block of the plane", "\xEF\xB7\x90 \xEF\xBF\xBE \xEF\xBF\xBD"},
        {"truncated three-byte", "\xE5\xB7"},
        {"truncated two-byte at the end", "ab\xC3"},
        {"overlong two-byte", "\xC0\xAF"},
        {"overlong three-byte", "\xE0\x80\xAF"},
        {"surrogate", "\xED\xA0\x80"},
        {"stray continuation", QByteArray("a\x80") + "b"},
        {"bad continuation", "\xE5\x41\x42"},
        {"invalid lead", "\xFF\xFE"},
        {"nul inside", QByteArray("a\0b", 3)},
    };
    for (const Case& c : cases) {
        std::vector<QChar> buffer(static_cast<size_t>(c.bytes.size()) + 1);
        const QChar* end = sarvo::decodeUtf8Into(buffer.data(), c.bytes.constData(), c.bytes.size());
        const QString decoded(buffer.data(), end - buffer.data());
        EXPECT_EQ(decoded, QString::fromUtf8(c.bytes)) << c.name;
    }
}

} // namespace
