// How lengths are written and read back, and the store's rules.
#include <gtest/gtest.h>

#include "../store_contract.h"
#include "settings/memory_store.h"
#include "settings/number_text.h"

namespace zelta {
namespace {

TEST(NumberText, WholeNumbersPlainFractionsWithSevenDigits) {
    const std::pair<float, const wchar_t*> cases[] = {
        {0.0F, L"0"},       {-15.0F, L"-15"},         {38400.0F, L"38400"},
        {-0.25F, L"-0.25"}, {123456.5F, L"123456.5"}, {16777216.0F, L"16777216"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(NumberText(value), text) << value;
    }
}

TEST(ParseWholeNumber, TheNearestWholeNumberWithin32BitsOrNothing) {
    const std::pair<const wchar_t*, std::optional<std::int32_t>> cases[] = {
        {L"-2147483648", -2147483647 - 1},
        {L"2147483648", std::nullopt},
        {L" 42 ", 42},
        {L"2.5", 2},
        {L"3.5", 4},
        {L"1E+03", 1000},
        {L"", std::nullopt},
        {L"12abc", std::nullopt},
        {L"0x10", std::nullopt},
        {L"1,5", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseWholeNumber(text), expected) << testing::PrintToString(std::wstring(text));
    }
}

TEST(SettingsStore, MemoryStoreKeepsTheContractAndUnusableNumbersReadAsZero) {
    MemoryStore store;
    CheckStoreContract(store, L"Zelta");
    store.Save(L"Zelta", L"p", L"good", L"38400");
    store.Save(L"Zelta", L"p", L"text", L"links");
    EXPECT_EQ(
        std::tuple(ReadWholeNumber(store, L"p", L"good"), ReadWholeNumber(store, L"p", L"text"),
                   ReadWholeNumber(store, L"p", L"absent"), ReadWholeNumber(store, L"q", L"good")),
        std::tuple(38400, 0, 0, 0));
}

}  // namespace
}  // namespace zelta
