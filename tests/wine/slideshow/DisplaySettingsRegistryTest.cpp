// The display settings read from the real registry: the missing key, value
// types, and the page time that decides whether the saver may start.
#include <gtest/gtest.h>

#include <windows.h>

#include "DisplaySettingsRegistry.h"
#include "SettingsRegistry.h"

using namespace testing_support;

namespace {

class DisplaySettingsRegistryTest : public ::testing::Test {
protected:
    SettingsRegistry registry;
};

}  // namespace

TEST_F(DisplaySettingsRegistryTest, MissingKeyLeavesThePresetsAndNoPageTime) {
    saver::DisplaySettings s = saver::SaverPresets();
    const saver::RegistryReadResult r = saver::ReadDisplaySettingsFromRegistry(s);
    EXPECT_FALSE(r.KeyOpened);
    EXPECT_EQ(s.WindowCount, 1);
    EXPECT_TRUE(s.ScrollEnabled);
    EXPECT_TRUE(s.UseDurations);
    EXPECT_EQ(s.PageMs, 0);
}

TEST_F(DisplaySettingsRegistryTest, StringValuesOfBothKindsAndOtherTypes) {
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "DType", " 3 ");
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "InterScreenT", "25", REG_EXPAND_SZ);
    SetRegDword(HKEY_LOCAL_MACHINE, kKaviKey, "ScrollVScrollY", 4);     // not a string: the preset stays
    SetRegDword(HKEY_LOCAL_MACHINE, kKaviKey, "DurationUse", 1);        // a flag of another type stays on
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "Scroll", "");           // an empty flag is off
    saver::DisplaySettings s = saver::SaverPresets();
    const saver::RegistryReadResult r = saver::ReadDisplaySettingsFromRegistry(s);
    EXPECT_TRUE(r.KeyOpened);
    EXPECT_TRUE(r.PageTimeRead);
    EXPECT_EQ(s.WindowCount, 3);
    EXPECT_EQ(s.PageMs, 25000);
    EXPECT_EQ(s.ScrollStep, 1);
    EXPECT_TRUE(s.UseDurations);
    EXPECT_FALSE(s.ScrollEnabled);
    EXPECT_FALSE(s.ScrollUpAllowed) << "a missing flag is off";
}

TEST_F(DisplaySettingsRegistryTest, KeyWithoutAPageTimeFailsTheStart) {
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "DType", "2");
    saver::DisplaySettings s = saver::SaverPresets();
    const saver::RegistryReadResult r = saver::ReadDisplaySettingsFromRegistry(s);
    EXPECT_TRUE(r.KeyOpened);
    EXPECT_FALSE(r.PageTimeRead);
    EXPECT_EQ(s.PageMs, 0);
    EXPECT_EQ(s.WindowCount, 2);
}
