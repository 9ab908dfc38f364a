// The display settings in the real registry: the missing key, value types,
// the page time that decides whether the saver may start, and the settings
// program's save read back by both programs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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
    globals::TDisplaySettings s = globals::SaverPresets();
    const globals::RegistryReadResult r = globals::ReadDisplaySettingsFromRegistry(s, globals::SaverReadOptions());
    EXPECT_FALSE(r.KeyOpened);
    EXPECT_EQ(s.WindowCount, 1);
    EXPECT_TRUE(s.ScrollEnabled);
    EXPECT_TRUE(s.UseDurations);
    EXPECT_EQ(s.PageMs(), 0);
}

TEST_F(DisplaySettingsRegistryTest, StringValuesOfBothKindsAndOtherTypes) {
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "DType", " 3 ");
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "InterScreenT", "25", REG_EXPAND_SZ);
    SetRegDword(HKEY_LOCAL_MACHINE, kKaviKey, "ScrollVScrollY", 4);     // not a string: the preset stays
    SetRegDword(HKEY_LOCAL_MACHINE, kKaviKey, "DurationUse", 1);        // a flag of another type stays on
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "Scroll", "");           // an empty flag is off
    globals::TDisplaySettings s = globals::SaverPresets();
    const globals::RegistryReadResult r = globals::ReadDisplaySettingsFromRegistry(s, globals::SaverReadOptions());
    EXPECT_TRUE(r.KeyOpened);
    EXPECT_TRUE(r.PageTimeRead);
    EXPECT_EQ(s.WindowCount, 3);
    EXPECT_EQ(s.PageMs(), 25000);
    EXPECT_EQ(s.ScrollStep, 1);
    EXPECT_TRUE(s.UseDurations);
    EXPECT_FALSE(s.ScrollEnabled);
    EXPECT_FALSE(s.ScrollUpAllowed) << "a missing flag is off";
}

TEST_F(DisplaySettingsRegistryTest, EmptyValuesOfAnotherTypeKeepThePreset) {
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "InterScreenT", "30");
    SetRegBytes(HKEY_LOCAL_MACHINE, kKaviKey, "DurationUse", REG_BINARY, "");  // not text: stays on
    SetRegBytes(HKEY_LOCAL_MACHINE, kKaviKey, "Scroll", REG_SZ, "");           // empty text: off
    globals::TDisplaySettings s = globals::SaverPresets();
    ASSERT_TRUE(globals::ReadDisplaySettingsFromRegistry(s, globals::SaverReadOptions()).PageTimeRead);
    EXPECT_TRUE(s.UseDurations);
    EXPECT_FALSE(s.ScrollEnabled);
}

TEST_F(DisplaySettingsRegistryTest, KeyWithoutAPageTimeFailsTheStart) {
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "DType", "2");
    globals::TDisplaySettings s = globals::SaverPresets();
    const globals::RegistryReadResult r = globals::ReadDisplaySettingsFromRegistry(s, globals::SaverReadOptions());
    EXPECT_TRUE(r.KeyOpened);
    EXPECT_FALSE(r.PageTimeRead);
    EXPECT_EQ(s.PageMs(), 0);
    EXPECT_EQ(s.WindowCount, 2);
}

TEST_F(DisplaySettingsRegistryTest, SaveCreatesTheKeyAndBothProgramsReadItBack) {
    globals::TDisplaySettings saved = globals::SettingsProgramPresets();
    saved.WindowCount = 2;
    saved.ScrollEnabled = false;
    saved.ScrollStep = 5;
    saved.PageSeconds = 30;
    saved.MaxCycles = 4;
    saved.MaxMinutes = 60;
    // "MalotaPo" is the saver's alone: a save leaves it as it was.
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "MalotaPo", "y");
    ASSERT_TRUE(globals::WriteDisplaySettingsToRegistry(saved));
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "DurationUse"), "y");
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "Scroll"), "n");
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "MalotaPo"), "y");

    globals::TDisplaySettings bySaver = globals::SaverPresets();
    const globals::RegistryReadResult r = globals::ReadDisplaySettingsFromRegistry(bySaver, globals::SaverReadOptions());
    EXPECT_TRUE(r.PageTimeRead);
    EXPECT_TRUE(bySaver.ScrollUpAllowed);
    globals::TDisplaySettings bySettings = globals::SettingsProgramPresets();
    globals::ReadDisplaySettingsFromRegistry(bySettings, globals::SettingsProgramReadOptions());
    EXPECT_FALSE(bySettings.ScrollUpAllowed);
    for (const globals::TDisplaySettings* read : {&bySaver, &bySettings}) {
        EXPECT_EQ(read->WindowCount, 2);
        EXPECT_FALSE(read->ScrollEnabled);
        EXPECT_EQ(read->ScrollInterval, 15);
        EXPECT_EQ(read->ScrollStep, 5);
        EXPECT_EQ(read->PageMs(), 30000);
        EXPECT_TRUE(read->UseDurations);
        EXPECT_EQ(read->MaxCycles, 4);
        EXPECT_EQ(read->MaxMinutes, 60);
    }
}

TEST_F(DisplaySettingsRegistryTest, SaveOnAMachineWithoutTheKeyCreatesIt) {
    ASSERT_TRUE(globals::WriteDisplaySettingsToRegistry(globals::SettingsProgramPresets()));
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "DType"), "1");
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kKaviKey, "InterScreenT"), "0");
}
