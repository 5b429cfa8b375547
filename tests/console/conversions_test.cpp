// Parameter text conversion, truncation of doubles and the message formatter.
#include "catalogue.h"
#include "conversions.h"
#include "text_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace dravik::console {
namespace {

TEST(ParseParameter, ReadsLeadingDecimalDigitsWithWrapAround) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0}, {"abc", 0}, {"12abc", 12}, {" -7", -7}, {"\t+15", 15}, {"0x10", 0}, {"2.5", 2},
        {"-", 0}, {"+-3", 0}, {"- 3", 0}, {"007", 7}, {"2147483647", 2147483647},
        {"2147483648", std::numeric_limits<int32_t>::min()}, {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"4294967295", -1}, {"4294967297", 1}, {"-4294967297", -1},
        {"99999999999999999999", static_cast<int32_t>(1661992959u)}, {"１２", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_parameter(c.text), c.value) << '"' << c.text << '"';
}

TEST(TruncateToInt32, TowardZeroSaturatingAndDefinedForNaN) {
    constexpr auto lo = std::numeric_limits<int32_t>::min();
    constexpr auto hi = std::numeric_limits<int32_t>::max();
    const struct {
        double in;
        int32_t out;
    } cases[] = {
        {99.9, 99}, {-0.5, 0}, {-99.9, -99}, {0.0, 0}, {2147483647.9, hi}, {2147483648.0, hi},
        {-2147483648.9, lo}, {-1e300, lo}, {1e300, hi}, {INFINITY, hi}, {-INFINITY, lo},
        {std::nan(""), lo},
    };
    for (const auto& c : cases) EXPECT_EQ(truncate_to_int32(c.in), c.out) << c.in;
}

TEST(FormatText, FormatsTheConsolesConversions) {
    EXPECT_EQ(format_text("轴%d当前运行速度=%f", {1, 800.0}), "轴1当前运行速度=800.000000");
    EXPECT_EQ(format_text("设置的常速度=%ld", {-5}), "设置的常速度=-5");
    EXPECT_EQ(format_text("status=%x", {255}), "status=ff");
    EXPECT_EQ(format_text("0x%x", {-1}), "0xffffffff");
    EXPECT_EQ(format_text("100%% %d", {3}), "100% 3");
    EXPECT_EQ(format_text("%f", {1e300}).size(), 301u + 7u); // no truncation of long numbers
    EXPECT_EQ(format_text("%f", {std::nan("")}).find("nan") != std::string::npos, true);
}

TEST(FormatText, NeverReadsMissingOrMismatchedArguments) {
    EXPECT_EQ(format_text("a%db%dc", {7}), "a7bc");
    EXPECT_EQ(format_text("%d|%f", {1.5, 2}), "|");
    EXPECT_EQ(format_text("50%", {}), "50%");
    EXPECT_EQ(format_text("%s%q", {1}), "%s%q");
}

TEST(Catalogue, RowsColumnsAndCallNames) {
    const auto rows = catalogue();
    ASSERT_EQ(rows.size(), 79u);
    EXPECT_STREQ(rows[0].prototype, "get_max_axe()");
    EXPECT_STREQ(rows[9].prototype, "get_profile(int ch,int *ls,int *hs,long *accel)");
    EXPECT_STREQ(rows[30].prototype, "set_vector_profile(double vec_vl , double vec_vh ,double vec_ad)");
    EXPECT_STREQ(rows[49].prototype, "set_alm_logci(int ch,int flag)");
    EXPECT_STREQ(rows[78].prototype,
                 "get_card_ver(long cardno,long *type,long* major,long *minor1,long *minor2)");
    EXPECT_EQ(call_name(rows[49]), "set_alm_logic");
    EXPECT_EQ(call_name(rows[70]), "change_accel");

    std::set<std::string> names;
    for (const auto& row : rows) {
        names.insert(std::string(call_name(row)));
        for (const char* c = row.prototype; *c; ++c) EXPECT_LT(static_cast<unsigned char>(*c), 0x80u);
    }
    EXPECT_EQ(names.size(), 79u) << "every row makes a different call";

    const auto columns = catalogue_columns();
    EXPECT_STREQ(columns[0].title, "函数");
    EXPECT_EQ(columns[0].width, 300);
    for (int i = 1; i < 8; ++i) {
        EXPECT_EQ(std::string(columns[static_cast<std::size_t>(i)].title), "参数" + std::to_string(i));
        EXPECT_EQ(columns[static_cast<std::size_t>(i)].width, 80);
    }
}

} // namespace
} // namespace dravik::console
