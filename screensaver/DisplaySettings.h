// The display settings as stored (string values under the product's key)
// and the reader both the saver and the settings program use. No Windows
// here: the registry is behind IDisplayValueSource.
#pragma once

#include <cstdint>
#include <string>

namespace saver {

enum class ValueRead {
    Text,     // a string value (or a missing one, read as empty text)
    Failed,   // a value of another type, or the read failed
};

// Where the values come from: the registry key, or a table in a test.
class IDisplayValueSource {
public:
    virtual ~IDisplayValueSource() = default;
    virtual ValueRead Read(const std::string& name, std::string& text) = 0;
};

struct DisplaySettings {
    int32_t WindowCount = 0;
    bool ScrollEnabled = false;
    bool ScrollUpAllowed = false;
    int32_t ScrollInterval = 0;
    int32_t ScrollStep = 0;
    int32_t PageSeconds = 0;
    int32_t PageMs = 0;
    bool UseDurations = false;
    int32_t MaxCycles = 0;
    int32_t MaxMinutes = 0;
};

// The values the saver starts from before it reads anything.
DisplaySettings SaverPresets();

struct ReadOptions {
    bool ReadScrollUpAllowed = true;  // the settings program never reads "MalotaPo"
};

// Reads every value into `settings`, each on its own: a value that cannot be
// read or is no number leaves what was there. Returns false when
// "InterScreenT" could not be read as a number (PageSeconds and PageMs then
// stay as they were).
bool ReadDisplaySettings(IDisplayValueSource& source, DisplaySettings& settings, ReadOptions options = {});

// A number in range, or the default when outside it (not the nearer bound).
int32_t InRangeOrDefault(int32_t value, int32_t low, int32_t high, int32_t fallback);

}  // namespace saver
