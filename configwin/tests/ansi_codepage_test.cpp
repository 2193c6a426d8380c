#include "text/ansi_codepage.h"

#include <gtest/gtest.h>

TEST(AnsiCodePage, EveryByteDecodesAndEncodesBackUnchanged)
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(static_cast<char>(byte));
    const QString text = fromAnsi(all);
    ASSERT_EQ(text.size(), 256);
    const std::optional<QByteArray> back = toAnsi(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all);
}

TEST(AnsiCodePage, UsesTheWindowsCharactersOfTheHighControlRange)
{
    const std::pair<unsigned char, char16_t> cases[] = {
        {0x41, u'A'},      {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x85, u'\u2026'},
        {0x8A, u'\u0160'}, {0x8D, u'\u008D'}, {0x8F, u'\u008F'}, {0x90, u'\u0090'},
        {0x93, u'\u201C'}, {0x96, u'\u2013'}, {0x99, u'\u2122'}, {0x9D, u'\u009D'},
        {0x9F, u'\u0178'}, {0xA0, u'\u00A0'}, {0xE9, u'\u00E9'}, {0xFF, u'\u00FF'},
    };
    for (auto [byte, character] : cases) {
        SCOPED_TRACE(byte);
        const QByteArray bytes(1, static_cast<char>(byte));
        EXPECT_EQ(fromAnsi(bytes), QString(QChar(character)));
        EXPECT_EQ(toAnsi(QString(QChar(character))), bytes);
    }
}

TEST(AnsiCodePage, RefusesTextWithACharacterOutsideTheCodePage)
{
    const QString cases[] = {
        QStringLiteral("caf\u00E9 \u0100"),  // Latin Extended-A outside the table
        QStringLiteral("\u0080"),            // the control character whose byte holds the euro sign
        QStringLiteral("\u4E2D"),
        QString::fromUtf8("key \xF0\x9F\x94\x91"),  // outside the Basic Multilingual Plane
    };
    for (const QString& text : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(toAnsi(text));
    }
}
