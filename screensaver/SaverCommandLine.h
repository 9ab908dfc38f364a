// The screen saver's command line; no Windows here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace saver {

// Arguments as the program sees them: blanks separate, double quotes group
// and are dropped. Element 0 is the program itself.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

enum : uint8_t { smPassword = 0, smPreview = 1, smConfigure = 2, smRun = 3 };
// The mode this run of the saver is in.
extern uint8_t SaverMode;

// smPassword, smPreview, smConfigure or smRun from the first argument
// (already upper-cased or not: case never matters).
uint8_t SaverModeOf(const std::string& firstArgument);

// The decimal window handle that the password and preview modes carry.
std::optional<uint32_t> WindowHandleArgument(const std::string& text);

}  // namespace saver
