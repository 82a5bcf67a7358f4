#include <gtest/gtest.h>

#include "foundation/Messages.h"
#include "foundation/QRoutine.h"

using namespace palvo;

TEST(QRoutine, BooleanTexts) {
    struct Case {
        const char* text;
        bool defaultValue;
        bool expected;
    };
    const Case cases[] = {
        {"True", false, true},  {"TRUE", false, true},  {"true", false, true},
        {"false", true, false}, {"FALSE", true, false}, {"0", true, true},
        {"yes", false, false},  {"", true, true},       {" True", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToBool(QString::fromLatin1(c.text), c.defaultValue), c.expected) << c.text;
    EXPECT_EQ(BoolToText(true), "True");
    EXPECT_EQ(BoolToText(false), "False");
    EXPECT_TRUE(TextToBoolStrict("tRuE"));
    try {
        (void)TextToBoolStrict("1");
        FAIL() << "no exception";
    } catch (const EQFunctionError& e) {
        EXPECT_EQ(e.message(), "Not a boolean string");
    }
}

TEST(QRoutine, ColourTextsRoundTrip) {
    struct Case {
        const char* text;
        Colour colour;
        const char* written;
    };
    const Case cases[] = {
        {"clBlack", 0x000000, "clBlack"},      {"CLRED", 0x0000FF, "clRed"},
        {"clWhite", 0xFFFFFF, "clWhite"},      {"$00123456", 0x123456, "$00123456"},
        {"$00abcdef", 0xABCDEF, "$00ABCDEF"},  {"255", 0x0000FF, "clRed"},
        {"1193046", 0x123456, "$00123456"},    {"clBtnFace", Colour(0xFF00000F), "clBtnFace"},
        {"0x00010203", 0x010203, "$00010203"}, {"-16777201", Colour(0xFF00000F), "clBtnFace"},
        {"clSkyBlue", 0xF0CAA6, "clSkyBlue"},  {"$FFFFFFFF", Colour(-1), "$FFFFFFFF"},
    };
    for (const auto& c : cases) {
        const Colour colour = TextToColour(QString::fromLatin1(c.text), 77);
        EXPECT_EQ(colour, c.colour) << c.text;
        EXPECT_EQ(ColourToText(colour), QString::fromLatin1(c.written)) << c.text;
        EXPECT_EQ(TextToColour(ColourToText(colour), 77), colour) << c.text;
    }
    for (const char* bad : {"", "clNoSuch", "$", "12a", "$1G", "99999999999", "$100000000"})
        EXPECT_EQ(TextToColour(QString::fromLatin1(bad), 77), 77) << bad;
    EXPECT_EQ(ColourToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(QColorToColour(QColor(1, 2, 3)), 0x030201);
}

TEST(QRoutine, TextRoutines) {
    EXPECT_EQ(TextOrDefault("", "d"), "d");
    EXPECT_EQ(TextOrDefault("a", "d"), "a");
    EXPECT_TRUE(ContainsText("PIC", "my picture"));
    EXPECT_FALSE(ContainsText("x", "abc"));
    EXPECT_EQ(ReplaceText("aAbA", "a", "c", false), "ccbc");
    EXPECT_EQ(ReplaceText("aAbA", "a", "c", true), "cAbA");
    EXPECT_EQ(ReplaceChar("a;b;c", ';', '/'), "a/b/c");
    EXPECT_EQ(ReplaceCharByText("a;b", ';', "--"), "a--b");
    // Removing "ab" from "aabb" leaves "ab", which goes again.
    EXPECT_EQ(RemoveAll("aabbc", "ab"), "c");
    EXPECT_EQ(EnsureHttp("www.palvo.example"), "http://www.palvo.example");
    EXPECT_EQ(EnsureHttp("Http://Mixed.example"), "Http://Mixed.example");
    EXPECT_EQ(EnsureHttp("https://secure.example"), "https://secure.example");
    EXPECT_EQ(LoadStrFromRes("no placeholder", "arg"), "no placeholder");
    EXPECT_EQ(LoadStrFromRes("The folder, %s, is gone", "/a/b/"), "The folder, /a/b/, is gone");
}

TEST(QRoutine, Numbers) {
    struct Case {
        int a, b, expected;
    };
    const Case cases[] = {{50, 3, 2},     {50, 5, 2},   {150, 5, 8},   {10, 15, 2},
                          {200, 50, 100}, {-50, 3, -2}, {-150, 5, -8}, {33, 3, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(Percent(c.a, c.b), c.expected) << c.a << "*" << c.b;
    EXPECT_EQ(CeilInt(1.01), 2);
    EXPECT_EQ(CeilInt(-1.5), -1);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(FormatNumber(1.5, 2, true), "1.5");
    EXPECT_EQ(FormatNumber(2.0, 2, true), "2");
    EXPECT_EQ(FormatNumber(2.0, 2, false), "2.00");
    EXPECT_EQ(FormatNumber(2.0, 0, false), "2");
    EXPECT_EQ(FormatNumber(10.0, 1, true), "10");
}

TEST(QRoutine, SizeToText) {
    struct Case {
        std::int64_t bytes;
        int width;
        const char* text;
    };
    const Case cases[] = {
        {1234567, 0, "1.18 MB"},
        {20971520, 0, "20 MB"},
        {1500, 0, "1 KB"},
        {100, 0, "0 KB"},
        {1500, 2, "1,500 bytes"},
        {999, 1, "999 bytes"},
        {1048575, 0, "1024 KB"},
        {10485248, 0, "10 MB"},
        {10485247, 0, "10.00 MB"},
        {1234567, 3, "1,234,567 bytes"},
        {0, 0, "0 KB"},
        {65499, 0, "64 KB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeToText(c.bytes, c.width), QString::fromLatin1(c.text)) << c.bytes;
}

TEST(QRoutine, CacheNameHashes) {
    EXPECT_EQ(TextHash(""), 0u);
    EXPECT_EQ(TextHash("a"), 97u);
    EXPECT_EQ(TextHash("ab"), 97u * 31 + 98);
    // Wraps in 32 bits and keeps the low 27 bits.
    std::uint32_t h = 'L';
    for (char c : std::string("ong/path/to/a/picture.jpg"))
        h = h * 31u + std::uint32_t(c);
    EXPECT_EQ(TextHash("Long/path/to/a/picture.jpg"), h & 0x7FFFFFFu);

    EXPECT_EQ(TextChecksum16(""), 0u);
    // "abcde" → 000a bcde: words 0x61000000 and 0x65646362.
    const std::uint32_t sum = 0x61000000u + 0x65646362u;
    EXPECT_EQ(TextChecksum16("abcde"), (sum >> 16) ^ (sum & 0xFFFF));

    EXPECT_EQ(CacheKey("ab", 0.0), "3105F" + QString::number(TextChecksum16("ab")));
    // 45000.51234567 → "45000.51235" → "000.51235" → "00051235".
    EXPECT_EQ(CacheKey("ab", 45000.51234567),
              "3105" + QStringLiteral("00051235") + "F" + QString::number(TextChecksum16("ab")));
}

TEST(QRoutine, DelphiDateTimes) {
    const QDateTime noon(QDate(2023, 3, 15), QTime(12, 0), Qt::LocalTime);
    EXPECT_DOUBLE_EQ(DelphiDateTime(noon), 45000.5);
    EXPECT_EQ(FromDelphiDateTime(45000.5), noon);
    EXPECT_EQ(DelphiDateTime(QDateTime()), 0.0);
    EXPECT_FALSE(FromDelphiDateTime(0.0).isValid());
}

TEST(QRoutine, DateTimeTextStyles) {
    const QDateTime t(QDate(2024, 2, 9), QTime(7, 5, 3), Qt::LocalTime);
    EXPECT_EQ(DateTimeText(true, 5, " ", t, true), "2024-02-09");
    EXPECT_EQ(DateTimeText(true, 6, "_", t, true), "2024-02-09_07-05-03");
    EXPECT_EQ(DateTimeText(false, 6, "_", t, false), "2024-02-09_07-05");
    const QString shortDate = QLocale::system().toString(t.date(), QLocale::ShortFormat);
    QString expected = shortDate;
    expected.replace('/', '-').replace(':', '-').replace('\\', '-');
    EXPECT_EQ(DateTimeText(true, 1, " ", t, false), expected);
    for (int style = 1; style <= 6; ++style) {
        const QString text = DateTimeText(false, style, " ", t, true);
        EXPECT_FALSE(text.contains(':') || text.contains('/') || text.contains('\\')) << style;
    }
}

TEST(QRoutine, ParseDecimal) {
    int v = 0;
    EXPECT_TRUE(ParseDecimal("-12", &v));
    EXPECT_EQ(v, -12);
    for (const char* bad : {"", "abc", "1.5", " 1", "$10", "99999999999"})
        EXPECT_FALSE(ParseDecimal(QString::fromLatin1(bad), &v)) << bad;
}
