#include "DisplaySettings.h"

#include <utility>

#include "SysUtils.h"

namespace globals {

TDisplaySettings SaverPresets() {
    TDisplaySettings s;
    s.WindowCount = 1;
    s.ScrollEnabled = true;
    s.ScrollInterval = 15;
    s.ScrollStep = 1;
    s.ScrollUpAllowed = false;
    s.UseDurations = true;
    s.MaxCycles = 3;
    s.MaxMinutes = 30;
    return s;
}

TDisplaySettings SettingsProgramPresets() {
    // The page time and the durations get none: a missing one reaches the
    // sliders as 0, and they show their minimum.
    TDisplaySettings s;
    s.WindowCount = 1;
    s.ScrollEnabled = true;
    s.ScrollInterval = 15;
    s.ScrollStep = 1;
    return s;
}

int32_t InRangeOrDefault(int32_t value, int32_t low, int32_t high, int32_t fallback) {
    return value < low || value > high ? fallback : value;
}

namespace {

bool ReadNumber(IDisplayValueSource& source, const char* name, int32_t low, int32_t high, int32_t fallback,
                int32_t& target) {
    std::string text;
    if (source.Read(name, text) != ValueRead::Text) return false;
    auto value = velfw::TryDecimalToInt(velfw::Trim(text));
    if (!value) return false;
    target = InRangeOrDefault(*value, low, high, fallback);
    return true;
}

void ReadFlag(IDisplayValueSource& source, const char* name, bool& target) {
    std::string text;
    if (source.Read(name, text) != ValueRead::Text) return;
    const std::string t = velfw::Trim(text);
    target = t == "y" || t == "Y";
}

}  // namespace

bool ReadDisplaySettings(IDisplayValueSource& source, TDisplaySettings& s, ReadOptions options) {
    ReadNumber(source, "DType", 1, 3, 1, s.WindowCount);
    ReadFlag(source, "Scroll", s.ScrollEnabled);
    if (options.ReadScrollUpAllowed) ReadFlag(source, "MalotaPo", s.ScrollUpAllowed);
    ReadNumber(source, "ScrollVScrollT", 10, 500, 15, s.ScrollInterval);
    ReadNumber(source, "ScrollVScrollY", 1, 6, 1, s.ScrollStep);
    const bool pageTimeRead = ReadNumber(source, "InterScreenT", 10, 120, 10, s.PageSeconds);
    ReadFlag(source, "DurationUse", s.UseDurations);
    ReadNumber(source, "DurationTimeS", 1, 15, 3, s.MaxCycles);
    ReadNumber(source, "DurationTime", 10, 120, 30, s.MaxMinutes);
    return pageTimeRead;
}

bool WriteDisplaySettings(IDisplayValueSink& sink, const TDisplaySettings& s) {
    const std::pair<const char*, std::string> values[] = {
        {"DType", velfw::IntToStr(s.WindowCount)},
        {"Scroll", s.ScrollEnabled ? "y" : "n"},
        {"ScrollVScrollT", velfw::IntToStr(s.ScrollInterval)},
        {"ScrollVScrollY", velfw::IntToStr(s.ScrollStep)},
        {"InterScreenT", velfw::IntToStr(s.PageSeconds)},
        {"DurationUse", "y"},
        {"DurationTimeS", velfw::IntToStr(s.MaxCycles)},
        {"DurationTime", velfw::IntToStr(s.MaxMinutes)},
    };
    for (const auto& [name, text] : values)
        if (!sink.Write(name, text)) return false;
    return true;
}

}  // namespace globals
