#pragma once
// The rules every settings store keeps: run against the in-memory store natively and against the
// registry store under Wine, so that tests on the fake prove what the real store does.
#include <gtest/gtest.h>

#include "settings/settings_store.h"

inline void CheckStoreContract(zelta::SettingsStore& store, const std::wstring& app) {
    const std::wstring picture = L"C:\\Pics\\a \x03A9\x4E2D.jpg";  // beyond any ANSI code page
    store.Save(app, picture, L"MainLeft", L"15");
    store.Save(app, picture, L"MainLeft", L"30");
    EXPECT_EQ(store.Get(app, L"c:\\PICS\\A \x03A9\x4E2D.JPG", L"mainleft"), L"30");  // no case
    // A picture path that starts another picture's path: deleting it leaves the other.
    store.Save(app, L"C:\\Pics", L"MainTop", L"45");
    store.Delete(app, L"C:\\Pics");
    store.Delete(app, L"C:\\Pics");  // absent: nothing happens
    EXPECT_EQ(store.Get(app, L"C:\\Pics", L"MainTop"), std::nullopt);
    EXPECT_EQ(store.Get(app, picture, L"MainLeft"), L"30");
    // An empty section would name the whole application: never written, never deleted.
    store.Save(app, L"", L"MainLeft", L"60");
    store.Delete(app, L"");
    EXPECT_EQ(store.Get(app, L"", L"MainLeft"), std::nullopt);
    EXPECT_EQ(store.Get(app, picture, L"MainLeft"), L"30");
    // Doubled and leading backslashes of a network path name the same section.
    store.Save(app, L"\\\\srv\\share\\b.jpg", L"ImageWith", L"7215");
    EXPECT_EQ(store.Get(app, L"srv\\share\\\\b.jpg", L"ImageWith"), L"7215");
    EXPECT_EQ(store.Get(app, picture, L"Missing"), std::nullopt);
    EXPECT_EQ(store.Get(app + L"Other", picture, L"MainLeft"), std::nullopt);
    store.Delete(app, picture);
    store.Delete(app, L"srv\\share\\b.jpg");
}
