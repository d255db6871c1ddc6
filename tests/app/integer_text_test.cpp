#include "app/integer_text.h"

#include <gtest/gtest.h>

#include <climits>

using namespace kv7m;

TEST(IntegerText, ParsesWhatTheProgramAcceptsAsInteger)
{
    struct Case {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"60", 60},
        {"0", 0},
        {"-5", -5},
        {"+7", 7},
        {"  300", 300},
        {"007", 7},
        {"$1F", 31},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT_MIN},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"60 ", std::nullopt},
        {"6 0", std::nullopt},
        {"1.5", std::nullopt},
        {"1,5", std::nullopt},
        {"abc", std::nullopt},
        {"0x10", std::nullopt},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$", std::nullopt},
        {"1F", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseInteger(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
    // Digits of other scripts are no decimal digits here.
    EXPECT_EQ(parseInteger(QStringLiteral("٦٠")), std::nullopt);
}

TEST(IntegerText, ErrorNamesTheText)
{
    EXPECT_TRUE(integerConversionErrorText(QStringLiteral("abc")).contains(QStringLiteral("'abc'")));
}
