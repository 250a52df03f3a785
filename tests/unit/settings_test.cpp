#include <gtest/gtest.h>

#include "settings/geometry_keys.h"
#include "settings/number_text.h"
#include "settings/settings_store.h"

namespace zelta {
namespace {

TEST(NumberText, WritesWholeNumbersPlainAndFractionsWithSevenDigits) {
    const std::pair<float, const wchar_t*> cases[] = {
        {0.0F, L"0"},
        {15.0F, L"15"},
        {-15.0F, L"-15"},
        {38400.0F, L"38400"},
        {-32768.0F, L"-32768"},
        {40000.0F, L"40000"},
        {1.5F, L"1.5"},
        {-0.25F, L"-0.25"},
        {123456.5F, L"123456.5"},
        {16777216.0F, L"16777216"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(NumberText(value), text) << value;
    }
}

TEST(ParseWholeNumber, TakesTheNearestWholeNumberWithin32Bits) {
    const std::pair<const wchar_t*, std::optional<std::int32_t>> cases[] = {
        {L"0", 0},
        {L"7215", 7215},
        {L"-1200", -1200},
        {L"38400", 38400},  // beyond 16 bits: must not fail
        {L"40000", 40000},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"2147483648", std::nullopt},  // beyond 32 bits
        {L"99999999999", std::nullopt},
        {L" 42 ", 42},
        {L"2.5", 2},  // halves to even
        {L"3.5", 4},
        {L"-2.5", -2},
        {L"1.4", 1},
        {L"1E+03", 1000},
        {L"", std::nullopt},
        {L" ", std::nullopt},
        {L"abc", std::nullopt},
        {L"12abc", std::nullopt},
        {L"0x10", std::nullopt},
        {L"inf", std::nullopt},
        {L"nan", std::nullopt},
        {L"-", std::nullopt},
        {L".", std::nullopt},
        {L"1,5", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseWholeNumber(text), expected) << testing::PrintToString(std::wstring(text));
    }
}

TEST(ParseWholeNumber, ReadsBackWhatNumberTextWrote) {
    for (float value : {0.0F, 1.0F, -1.0F, 15.0F, 32767.0F, 32768.0F, -40000.0F, 1000000.0F}) {
        EXPECT_EQ(ParseWholeNumber(NumberText(value)), static_cast<std::int32_t>(value)) << value;
    }
}

TEST(SettingsStore, EmptySectionIsNeverWrittenOrDeleted) {
    MemoryStore store;
    store.Save(keys::kApplication, L"C:\\a.jpg", keys::kMainLeft, L"15");
    store.Save(keys::kApplication, L"", keys::kMainLeft, L"30");
    store.Delete(keys::kApplication, L"");
    EXPECT_EQ(store.Get(keys::kApplication, L"C:\\a.jpg", keys::kMainLeft), L"15");
    EXPECT_EQ(store.Get(keys::kApplication, L"", keys::kMainLeft), std::nullopt);
    EXPECT_EQ(store.SaveCount(), 1);
    EXPECT_EQ(store.DeleteCount(), 0);
}

TEST(SettingsStore, ReadWholeNumberDefaultsToZeroForAbsentAndUnusableValues) {
    MemoryStore store;
    store.Save(keys::kApplication, L"p", L"good", L"38400");
    store.Save(keys::kApplication, L"p", L"text", L"links");
    store.Save(keys::kApplication, L"p", L"huge", L"1E+12");
    EXPECT_EQ(ReadWholeNumber(store, L"p", L"good"), 38400);
    EXPECT_EQ(ReadWholeNumber(store, L"p", L"text"), 0);
    EXPECT_EQ(ReadWholeNumber(store, L"p", L"huge"), 0);
    EXPECT_EQ(ReadWholeNumber(store, L"p", L"absent"), 0);
    EXPECT_EQ(ReadWholeNumber(store, L"other", L"good"), 0);
    EXPECT_EQ(GetSetting(store, keys::kApplication, L"Settings", L"PicPath", L""), L"");
}

}  // namespace
}  // namespace zelta
