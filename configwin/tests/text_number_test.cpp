#include "text/text_number.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {

struct NumericCase {
    const char* text;
    double value;
};

struct StrictCase {
    const char* text;
    std::optional<double> value;
};

constexpr double kInfinity = std::numeric_limits<double>::infinity();

}  // namespace

TEST(NumericValue, ReadsTheLeadingNumberOfAnyText)
{
    const std::vector<NumericCase> cases = {
        {"", 0},
        {"36", 36},
        {"  36  ", 36},
        {"36.5", 36.5},
        {"-1", -1},
        {"+7", 7},
        {".5", 0.5},
        {"5.", 5},
        {"1 2 3", 123},
        {"\t4\n2", 42},
        {"- 5", -5},
        {"1 . 5", 1.5},
        {"40 inches", 40},
        {"512abc", 512},
        {"12e", 12},
        {"12e+", 12},
        {"1e3", 1000},
        {"1E-2", 0.01},
        {"2.5e1x", 25},
        {"1,5", 1},
        {"1.2.3", 1.2},
        {"abc", 0},
        {"x12", 0},
        {".", 0},
        {"-", 0},
        {"--5", 0},
        {"Text4", 0},
        {"&H1F", 31},
        {"&hff", 255},
        {"&H 1 0", 16},
        {"&HG", 0},
        {"&O17", 15},
        {"&o78", 7},
        {"&X1", 0},
        {"&", 0},
        {"\r5", 0},
        {"1e400", kInfinity},
        {"-1e400", -kInfinity},
        {"1e-400", 0},
    };
    for (const NumericCase& c : cases)
        EXPECT_EQ(numericValue(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
}

TEST(StrictNumber, ReadsOnlyAWholeNumberText)
{
    const std::vector<StrictCase> cases = {
        {"36", 36},
        {"36.0", 36},
        {" 36 ", 36},
        {"\t36\t", 36},
        {"36.5", 36.5},
        {"-4", -4},
        {"+4", 4},
        {".5", 0.5},
        {"5.", 5},
        {"1,000", 1000},
        {"12,345,678.25", 12345678.25},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"36 inches", std::nullopt},
        {"12abc", std::nullopt},
        {"Text4", std::nullopt},
        {"3 6", std::nullopt},
        {"- 4", std::nullopt},
        {"1,5", std::nullopt},
        {"1,00", std::nullopt},
        {"1234,567", std::nullopt},
        {",100", std::nullopt},
        {"100,", std::nullopt},
        {"1.000,5", std::nullopt},
        {"1e3", std::nullopt},
        {"&H10", std::nullopt},
        {"1\n", std::nullopt},
    };
    for (const StrictCase& c : cases)
        EXPECT_EQ(strictNumber(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
    EXPECT_EQ(strictNumber(QString(400, QLatin1Char('9'))), std::nullopt);
}

TEST(StrictNumber, IgnoresTheMachinesLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(strictNumber(QStringLiteral("36.0")), 36);
    EXPECT_EQ(strictNumber(QStringLiteral("1,000")), 1000);
    EXPECT_EQ(numericValue(QStringLiteral("36.5")), 36.5);
    QLocale::setDefault(before);
}

TEST(RoundedToField, RoundsHalvesToEvenWithinSixteenBits)
{
    // clang-format off
    const std::vector<std::pair<double, std::optional<std::int16_t>>> cases = {
        {14.5, 14},       {15.5, 16},       {14.6, 15},     {14.4, 14},     {59.5, 60},
        {0.4, 0},         {-0.5, 0},        {-1.5, -2},     {-2.5, -2},     {32767, 32767},
        {32767.4, 32767}, {32767.5, std::nullopt},          {-32768, -32768},
        {-32768.5, -32768}, {-32768.6, std::nullopt},       {40000, std::nullopt},
        {kInfinity, std::nullopt},          {-kInfinity, std::nullopt},
        {std::nan(""), std::nullopt},
        // clang-format on
    };
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(roundedToField(value), rounded) << value;
}
