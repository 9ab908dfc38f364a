#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "DisplaySettings.h"

using namespace globals;

namespace {

// A registry key as a table: a value is a string, or of another type
// (nullopt). A value not in the table is missing and reads as empty text.
class TableSource : public IDisplayValueSource {
public:
    std::map<std::string, std::optional<std::string>> values;
    std::vector<std::string> asked;
    ValueRead Read(const std::string& name, std::string& text) override {
        asked.push_back(name);
        auto it = values.find(name);
        if (it == values.end()) {
            text.clear();
            return ValueRead::Text;
        }
        if (!it->second) return ValueRead::Failed;
        text = *it->second;
        return ValueRead::Text;
    }
};

// Presets nobody would choose, so a test tells "left at the preset" from
// "replaced by the default".
TDisplaySettings OddPresets() {
    TDisplaySettings s;
    s.WindowCount = 7;
    s.ScrollEnabled = true;
    s.ScrollUpAllowed = true;
    s.ScrollInterval = 77;
    s.ScrollStep = 9;
    s.PageSeconds = 55;
    s.UseDurations = true;
    s.MaxCycles = 99;
    s.MaxMinutes = 999;
    return s;
}

struct NumberCase {
    const char* name;
    std::optional<std::string> text;  // nullopt: a value of another type
    int32_t expected;                 // -1: the preset stays
};

int32_t NumberOf(const TDisplaySettings& s, const std::string& name) {
    if (name == "DType") return s.WindowCount;
    if (name == "ScrollVScrollT") return s.ScrollInterval;
    if (name == "ScrollVScrollY") return s.ScrollStep;
    if (name == "InterScreenT") return s.PageSeconds;
    if (name == "DurationTimeS") return s.MaxCycles;
    if (name == "DurationTime") return s.MaxMinutes;
    return -2;
}

}  // namespace

TEST(DisplaySettings, SaverPresets) {
    TDisplaySettings s = SaverPresets();
    EXPECT_EQ(s.WindowCount, 1);
    EXPECT_TRUE(s.ScrollEnabled);
    EXPECT_FALSE(s.ScrollUpAllowed);
    EXPECT_EQ(s.ScrollInterval, 15);
    EXPECT_EQ(s.ScrollStep, 1);
    EXPECT_EQ(s.PageSeconds, 0);
    EXPECT_EQ(s.PageMs(), 0);
    EXPECT_TRUE(s.UseDurations);
    EXPECT_EQ(s.MaxCycles, 3);
    EXPECT_EQ(s.MaxMinutes, 30);
}

TEST(DisplaySettings, NumbersRangesDefaultsAndPresets) {
    const NumberCase cases[] = {
        {"DType", "0", 1},          {"DType", "4", 1},          {"DType", "word", -1},
        {"DType", " 2 ", 2},        {"DType", "\t3\r\n", 3},    {"DType", "1", 1},
        {"DType", "", -1},          {"DType", std::nullopt, -1}, {"DType", "2.5", -1},
        // Numbers are decimal: hexadecimal forms are not numbers at all.
        {"DType", "0x2", -1},       {"DType", "$2", -1},        {"InterScreenT", "0x1E", -1},
        {"ScrollVScrollT", "9", 15}, {"ScrollVScrollT", "501", 15}, {"ScrollVScrollT", "10", 10},
        {"ScrollVScrollT", "500", 500}, {"ScrollVScrollT", "-20", 15},
        {"ScrollVScrollY", "0", 1}, {"ScrollVScrollY", "6", 6},  {"ScrollVScrollY", "7", 1},
        {"InterScreenT", "130", 10}, {"InterScreenT", "9", 10}, {"InterScreenT", " 45 ", 45},
        {"InterScreenT", "120", 120},
        {"DurationTimeS", "20", 3}, {"DurationTimeS", "0", 3},  {"DurationTimeS", "15", 15},
        {"DurationTimeS", "x", -1},
        {"DurationTime", "121", 30}, {"DurationTime", "5", 30}, {"DurationTime", "120", 120},
        {"DurationTime", "10", 10},  {"DurationTime", "99999999999", -1},
    };
    for (const NumberCase& c : cases) {
        TableSource source;
        source.values[c.name] = c.text;
        TDisplaySettings s = OddPresets();
        const int32_t preset = NumberOf(s, c.name);
        ReadDisplaySettings(source, s, SaverReadOptions());
        EXPECT_EQ(NumberOf(s, c.name), c.expected == -1 ? preset : c.expected)
            << c.name << " = \"" << c.text.value_or("<other type>") << "\"";
    }
}

TEST(DisplaySettings, FlagsAreOnOnlyForYes) {
    struct FlagCase {
        std::optional<std::string> text;
        bool expected;  // from a preset of on
    } cases[] = {
        {"y", true},  {"Y", true},  {" y ", true},  {"\tY\n", true}, {"n", false}, {"yes", false},
        {"", false},  {"1", false}, {std::nullopt, true},
    };
    for (const char* name : {"Scroll", "MalotaPo", "DurationUse"}) {
        for (const FlagCase& c : cases) {
            TableSource source;
            source.values[name] = c.text;
            TDisplaySettings s = OddPresets();
            ReadDisplaySettings(source, s, SaverReadOptions());
            const bool got = std::string(name) == "Scroll"     ? s.ScrollEnabled
                             : std::string(name) == "MalotaPo" ? s.ScrollUpAllowed
                                                               : s.UseDurations;
            EXPECT_EQ(got, c.expected) << name << " = \"" << c.text.value_or("<other type>") << "\"";
        }
    }
}

TEST(DisplaySettings, MissingValuesTurnFlagsOffAndLeaveNumbers) {
    TableSource empty;
    TDisplaySettings s = OddPresets();
    EXPECT_FALSE(ReadDisplaySettings(empty, s, SaverReadOptions()));
    EXPECT_FALSE(s.ScrollEnabled);
    EXPECT_FALSE(s.ScrollUpAllowed);
    EXPECT_FALSE(s.UseDurations);
    EXPECT_EQ(s.WindowCount, 7);
    EXPECT_EQ(s.ScrollInterval, 77);
    EXPECT_EQ(s.MaxMinutes, 999);
    EXPECT_EQ(s.PageSeconds, 55);
    EXPECT_EQ(s.PageMs(), 55000);
}

TEST(DisplaySettings, PageTimeFailsStartUpWhenUnreadable) {
    struct PageCase {
        std::optional<std::string> text;
        bool ok;
        int32_t pageMs;
    } cases[] = {
        {"12", true, 12000}, {" 120 ", true, 120000}, {"130", true, 10000}, {"0", true, 10000},
        {"", false, 0},      {"ten", false, 0},       {std::nullopt, false, 0},
    };
    for (const PageCase& c : cases) {
        TableSource source;
        source.values["InterScreenT"] = c.text;
        TDisplaySettings s = SaverPresets();
        EXPECT_EQ(ReadDisplaySettings(source, s, SaverReadOptions()), c.ok) << c.text.value_or("<other type>");
        EXPECT_EQ(s.PageMs(), c.pageMs) << c.text.value_or("<other type>");
        EXPECT_EQ(s.PageSeconds, c.pageMs / 1000);
    }
    TableSource missing;
    TDisplaySettings s = SaverPresets();
    EXPECT_FALSE(ReadDisplaySettings(missing, s, SaverReadOptions()));
}

TEST(DisplaySettings, OneFailureDoesNotAffectTheOthersAndOrderIsKept) {
    TableSource source;
    source.values = {{"DType", std::nullopt}, {"Scroll", "n"},         {"ScrollVScrollT", "bad"},
                     {"ScrollVScrollY", "3"}, {"InterScreenT", "20"}, {"DurationUse", "Y"},
                     {"DurationTimeS", "2"},  {"DurationTime", "45"}};
    TDisplaySettings s = SaverPresets();
    EXPECT_TRUE(ReadDisplaySettings(source, s, SaverReadOptions()));
    EXPECT_EQ(s.WindowCount, 1);
    EXPECT_FALSE(s.ScrollEnabled);
    EXPECT_EQ(s.ScrollInterval, 15);
    EXPECT_EQ(s.ScrollStep, 3);
    EXPECT_EQ(s.PageMs(), 20000);
    EXPECT_TRUE(s.UseDurations);
    EXPECT_EQ(s.MaxCycles, 2);
    EXPECT_EQ(s.MaxMinutes, 45);
    const std::vector<std::string> order = {"DType",        "Scroll",      "MalotaPo",      "ScrollVScrollT",
                                            "ScrollVScrollY", "InterScreenT", "DurationUse", "DurationTimeS",
                                            "DurationTime"};
    EXPECT_EQ(source.asked, order);
}

TEST(DisplaySettings, SettingsProgramSkipsScrollUp) {
    TableSource source;
    source.values["MalotaPo"] = "y";
    TDisplaySettings s;
    ReadDisplaySettings(source, s, SettingsProgramReadOptions());
    EXPECT_FALSE(s.ScrollUpAllowed);
    for (const std::string& name : source.asked) EXPECT_NE(name, "MalotaPo");
}

TEST(DisplaySettings, SettingsProgramPresetsAndReads) {
    // What the settings program holds after reading, from its own presets:
    // page time and durations have none and stay 0 when unreadable.
    struct Case {
        const char* name;
        std::optional<std::string> text;  // absent from the table when name is null
        int32_t windows, pageSeconds, cycles, minutes;
        bool scroll;
    } cases[] = {
        {nullptr, "", 1, 0, 0, 0, false},  // a key with nothing in it: "Scroll" reads off
        {"DType", " 2 ", 2, 0, 0, 0, false},
        {"DType", "0", 1, 0, 0, 0, false},
        {"DType", "4", 1, 0, 0, 0, false},
        {"DType", "x", 1, 0, 0, 0, false},
        {"InterScreenT", "130", 1, 10, 0, 0, false},
        {"InterScreenT", "abc", 1, 0, 0, 0, false},
        {"InterScreenT", "45", 1, 45, 0, 0, false},
        {"DurationTimeS", "20", 1, 0, 3, 0, false},
        {"DurationTimeS", "x", 1, 0, 0, 0, false},
        {"DurationTime", "5", 1, 0, 0, 30, false},
        {"DurationTime", "x", 1, 0, 0, 0, false},
        {"DurationTime", std::nullopt, 1, 0, 0, 0, false},  // a value of another type
        {"Scroll", "y", 1, 0, 0, 0, true},
    };
    for (const Case& c : cases) {
        TableSource source;
        if (c.name) source.values[c.name] = c.text;
        TDisplaySettings s = SettingsProgramPresets();
        ReadDisplaySettings(source, s, SettingsProgramReadOptions());
        const std::string what = std::string(c.name ? c.name : "nothing") + " = " + c.text.value_or("<other type>");
        EXPECT_EQ(s.WindowCount, c.windows) << what;
        EXPECT_EQ(s.PageSeconds, c.pageSeconds) << what;
        EXPECT_EQ(s.PageMs(), c.pageSeconds * 1000) << what;
        EXPECT_EQ(s.MaxCycles, c.cycles) << what;
        EXPECT_EQ(s.MaxMinutes, c.minutes) << what;
        EXPECT_EQ(s.ScrollEnabled, c.scroll) << what;
        EXPECT_EQ(s.ScrollInterval, 15) << what;
        EXPECT_EQ(s.ScrollStep, 1) << what;
    }
    // Without the key nothing is read at all: the presets stand.
    TDisplaySettings untouched = SettingsProgramPresets();
    EXPECT_EQ(untouched.WindowCount, 1);
    EXPECT_TRUE(untouched.ScrollEnabled);
    EXPECT_EQ(untouched.ScrollInterval, 15);
    EXPECT_EQ(untouched.ScrollStep, 1);
    EXPECT_EQ(untouched.PageMs(), 0);
    EXPECT_FALSE(untouched.UseDurations);
}

namespace {

// A key as a table that can refuse the n-th write.
class TableSink : public IDisplayValueSink {
public:
    std::vector<std::pair<std::string, std::string>> written;
    int failAt = -1;  // 0-based index of the write that fails
    bool Write(const std::string& name, const std::string& text) override {
        if (static_cast<int>(written.size()) == failAt) return false;
        written.emplace_back(name, text);
        return true;
    }
};

}  // namespace

TEST(DisplaySettings, WriterOrderTextsAndFirstFailure) {
    TDisplaySettings s;
    s.WindowCount = 2;
    s.ScrollEnabled = false;
    s.ScrollInterval = 15;
    s.ScrollStep = 4;
    s.PageSeconds = 45;
    s.UseDurations = false;  // written as "y" all the same
    s.MaxCycles = 7;
    s.MaxMinutes = 120;
    s.ScrollUpAllowed = true;  // never written
    TableSink sink;
    EXPECT_TRUE(WriteDisplaySettings(sink, s));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"DType", "2"},        {"Scroll", "n"},      {"ScrollVScrollT", "15"}, {"ScrollVScrollY", "4"},
        {"InterScreenT", "45"}, {"DurationUse", "y"}, {"DurationTimeS", "7"},   {"DurationTime", "120"},
    };
    EXPECT_EQ(sink.written, expected);

    TableSink failing;
    failing.failAt = 3;
    EXPECT_FALSE(WriteDisplaySettings(failing, s));
    EXPECT_EQ(failing.written.size(), 3u) << "nothing after the failed write";
}

TEST(DisplaySettings, WhatOneProgramWritesTheOtherReadsBack) {
    TDisplaySettings saved = SettingsProgramPresets();
    saved.WindowCount = 3;
    saved.ScrollEnabled = true;
    saved.ScrollStep = 6;
    saved.PageSeconds = 120;
    saved.MaxCycles = 15;
    saved.MaxMinutes = 10;
    TableSink sink;
    ASSERT_TRUE(WriteDisplaySettings(sink, saved));
    TableSource key;
    for (const auto& [name, text] : sink.written) key.values[name] = text;

    TDisplaySettings bySaver = SaverPresets();
    EXPECT_TRUE(ReadDisplaySettings(key, bySaver, SaverReadOptions()));
    TDisplaySettings bySettings = SettingsProgramPresets();
    ReadDisplaySettings(key, bySettings, SettingsProgramReadOptions());
    for (const TDisplaySettings* read : {&bySaver, &bySettings}) {
        EXPECT_EQ(read->WindowCount, 3);
        EXPECT_TRUE(read->ScrollEnabled);
        EXPECT_EQ(read->ScrollInterval, 15);
        EXPECT_EQ(read->ScrollStep, 6);
        EXPECT_EQ(read->PageMs(), 120000);
        EXPECT_TRUE(read->UseDurations);
        EXPECT_EQ(read->MaxCycles, 15);
        EXPECT_EQ(read->MaxMinutes, 10);
    }
}
