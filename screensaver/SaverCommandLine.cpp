#include "SaverCommandLine.h"

#include "SysUtils.h"

namespace saver {

uint8_t SaverMode = smRun;

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    size_t i = 0;
    while (true) {
        while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ') ++i;
        if (i >= line.size()) break;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || static_cast<unsigned char>(line[i]) > ' ')) {
            if (line[i] == '"') quoted = !quoted;
            else arg += line[i];
            ++i;
        }
        args.push_back(arg);
    }
    return args;
}

uint8_t SaverModeOf(const std::string& firstArgument) {
    const std::string a = velfw::UpperCase(firstArgument);
    auto is = [&a](char letter) {
        if (a.empty()) return false;
        if (a[0] == letter) return true;
        return a.size() >= 2 && (a[0] == '/' || a[0] == '-') && a[1] == letter;
    };
    if (is('A')) return smPassword;
    if (is('P')) return smPreview;
    if (a.empty() || is('C')) return smConfigure;
    return smRun;
}

std::optional<uint32_t> WindowHandleArgument(const std::string& text) {
    return velfw::TryDecimalToUint32(velfw::Trim(text));
}

}  // namespace saver
