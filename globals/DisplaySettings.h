// The display settings both the screen saver and the settings program hold:
// one record, the reader both programs use (each with its own presets) and
// the writer of the settings program. Stored as string values directly under
// the product key (ProductKey.h); no Windows here, the registry is behind
// IDisplayValueSource and IDisplayValueSink.
#pragma once

#include <cstdint>
#include <string>

namespace globals {

struct TDisplaySettings {
    int32_t WindowCount = 0;     // "DType": panes, or page-list windows, 1 to 3
    int32_t ScrollInterval = 0;  // "ScrollVScrollT": milliseconds between scroll steps
    int32_t ScrollStep = 0;      // "ScrollVScrollY": pixels per step
    int32_t MaxCycles = 0;       // "DurationTimeS": passes before a pane is blanked
    int32_t MaxMinutes = 0;      // "DurationTime": minutes before a pane is blanked
    bool ScrollEnabled = false;  // "Scroll"
    bool ScrollUpAllowed = false;  // "MalotaPo", read by the screen saver only
    bool UseDurations = false;     // "DurationUse"
    int32_t PageSeconds = 0;       // "InterScreenT": seconds a complete page stays

    int32_t PageMs() const { return PageSeconds * 1000; }
};

enum class ValueRead {
    Text,    // a string value (or a missing one, read as empty text)
    Failed,  // a value of another type, or the read failed
};

// Where the values come from: the registry key, or a table in a test.
class IDisplayValueSource {
public:
    virtual ~IDisplayValueSource() = default;
    virtual ValueRead Read(const std::string& name, std::string& text) = 0;
};

// Where the settings program writes them; false when a write failed.
class IDisplayValueSink {
public:
    virtual ~IDisplayValueSink() = default;
    virtual bool Write(const std::string& name, const std::string& text) = 0;
};

// What each program starts from before it reads anything.
TDisplaySettings SaverPresets();
TDisplaySettings SettingsProgramPresets();

struct ReadOptions {
    bool ReadScrollUpAllowed = true;  // the settings program never reads "MalotaPo"
};
inline ReadOptions SaverReadOptions() { return {true}; }
inline ReadOptions SettingsProgramReadOptions() { return {false}; }

// Reads every value into `settings`, each on its own: a value that cannot be
// read or is no number leaves what was there. Returns false when
// "InterScreenT" could not be read as a number (PageSeconds then stays as it
// was): a failed start for the saver, nothing for the settings program.
bool ReadDisplaySettings(IDisplayValueSource& source, TDisplaySettings& settings, ReadOptions options);

// Writes the eight values the settings program saves, in their order, and
// stops at the first that fails (false). "DurationUse" is always "y";
// "MalotaPo" is never written.
bool WriteDisplaySettings(IDisplayValueSink& sink, const TDisplaySettings& settings);

// A number in range, or the default when outside it (not the nearer bound).
int32_t InRangeOrDefault(int32_t value, int32_t low, int32_t high, int32_t fallback);

}  // namespace globals
