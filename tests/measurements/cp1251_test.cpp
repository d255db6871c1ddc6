#include "measurements/cp1251.h"

#include <gtest/gtest.h>

#include <QSet>

#include <string>

using namespace kv7m;

namespace {

std::string hex(const QByteArray& bytes)
{
    return bytes.toHex(' ').toStdString();
}

}  // namespace

TEST(Cp1251, KnownTextsHaveTheirBytesBothWays)
{
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя"),
         "\xC0\xC1\xC2\xC3\xC4\xC5\xA8\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8"
         "\xD9\xDA\xDB\xDC\xDD\xDE\xDF\xE0\xE1\xE2\xE3\xE4\xE5\xB8\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1"
         "\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF"},
        {QStringLiteral("Т1, град С"), "\xD2"
                                       "1, \xE3\xF0\xE0\xE4 \xD1"},
        {QStringLiteral("Плотность, кг/м3"), "\xCF\xEB\xEE\xF2\xED\xEE\xF1\xF2\xFC, \xEA\xE3/\xEC"
                                             "3"},
        {QStringLiteral("№ 5 — «ок» €"), "\xB9 5 \x97 \xAB\xEE\xEA\xBB \x88"},
        {QStringLiteral("ЂђЃѓЉљЊњЌќЋћЏџЎўЈјҐґЄєЇїІіЅѕ"),
         "\x80\x90\x81\x83\x8A\x9A\x8C\x9C\x8D\x9D\x8E\x9E\x8F\x9F\xA1\xA2\xA3\xBC\xA5\xB4\xAA\xBA\xAF\xBF\xB2\xB3"
         "\xBD\xBE"},
        {QStringLiteral("\u00A0\u00AD\u2122\u2026\u2018\u2019\u201C\u201D\u201A\u201E\u2020\u2021\u2030\u2039"
                        "\u203A\u2022\u2013\u00A4\u00A6\u00A7\u00A9\u00AC\u00AE\u00B0\u00B1\u00B5\u00B6\u00B7"),
         "\xA0\xAD\x99\x85\x91\x92\x93\x94\x82\x84\x86\x87\x89\x8B\x9B\x95\x96\xA4\xA6\xA7\xA9\xAC\xAE\xB0\xB1\xB5"
         "\xB6\xB7"},
        {QStringLiteral("CS1\t12.5\r\n~"), "CS1\t12.5\r\n~"},
        {QString(QChar(0)) + QChar(0x7F), QByteArray("\x00\x7F", 2)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(toCp1251(c.text)), hex(c.bytes)) << c.text.toStdString();
        EXPECT_EQ(fromCp1251(c.bytes).toStdString(), c.text.toStdString());
    }
}

TEST(Cp1251, EveryDefinedByteIsItsOwnCharacter)
{
    QSet<QChar> seen;
    for (int b = 0; b < 0x100; ++b) {
        if (b == 0x98)
            continue;
        const QByteArray byte(1, static_cast<char>(b));
        const QString text = fromCp1251(byte);
        ASSERT_EQ(text.size(), 1) << b;
        EXPECT_NE(text.at(0), QChar(QChar::ReplacementCharacter)) << b;
        EXPECT_FALSE(seen.contains(text.at(0))) << "byte " << b << " repeats a character";
        seen.insert(text.at(0));
        EXPECT_EQ(toCp1251(text), byte) << b;
    }
}

TEST(Cp1251, UnmappedBecomesReplacementOrQuestionMark)
{
    EXPECT_EQ(fromCp1251("a\x98z").toStdString(), QStringLiteral("a\uFFFDz").toStdString());

    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("\uFFFD"), "?"},  // must not come back as the undefined byte 0x98
        {QStringLiteral("äÄΩ日"), "????"},
        {QStringLiteral("a😀б"), "a?\xE1"},  // one character outside the basic plane, one '?'
        {QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y"), "x?y"},
        {QStringLiteral("x") + QChar(0xDC00), "x?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hex(toCp1251(c.text)), hex(c.bytes)) << c.text.toStdString();
}
