#include "HostedWBRules.h"

#include <cerrno>
#include <cstdlib>

#include "Classes.h"

namespace browser {

namespace {

const uint32_t kDownloadFlags[kDownloadControlOptionCount] = {
    0x10,   0x20,   0x40,    0x80,    0x100,   0x200,      0x400,      0x800,      0x1000,     0x2000,
    0x4000, 0x8000, 0x10000, 0x20000, 0x40000, 0x10000000, 0x20000000, 0x40000000, 0x80000000,
};

// 0x8000 belongs to no element.
const uint32_t kHostFlags[kUserInterfaceOptionCount] = {
    0x1,   0x2,   0x4,    0x8,    0x10,   0x20,    0x40,    0x80,    0x100,
    0x200, 0x400, 0x800,  0x1000, 0x2000, 0x4000, 0x10000, 0x20000,
};

template <int N>
uint32_t SumOfFlags(uint32_t bits, const uint32_t (&flags)[N]) {
    uint32_t value = 0;
    for (int i = 0; i < N; ++i)
        if (bits & (1u << i)) value += flags[i];
    return value;
}

}  // namespace

uint32_t DownloadControlValueOf(TDownloadControlOptions options) {
    return SumOfFlags(options.Bits(), kDownloadFlags);
}

uint32_t HostFlagsValueOf(TUserInterfaceOptions options) { return SumOfFlags(options.Bits(), kHostFlags); }

double PageSetupMargin(const std::string& text, char decimalSeparator, bool usesInches) {
    std::string s;
    for (char c : text)
        if (c != ' ') s += c;
    if (decimalSeparator != '.') {
        size_t dot = s.find('.');
        if (dot != std::string::npos) s[dot] = decimalSeparator;
    }
    // The number is read with the locale's separator; strtod reads ".".
    std::string c = s;
    if (decimalSeparator != '.') {
        size_t sep = c.find(decimalSeparator);
        if (sep != std::string::npos) c[sep] = '.';
    }
    char* end = nullptr;
    errno = 0;
    double value = c.empty() ? 0.0 : std::strtod(c.c_str(), &end);
    if (c.empty() || *end != '\0' || errno == ERANGE) throw velfw::Exception("'" + s + "' is not a valid floating point value");
    return usesInches ? value : value * 25.4;
}

std::string DdeCommandName(const std::string& ddeexec) {
    size_t bracket = ddeexec.find('[');
    std::string rest = bracket == std::string::npos ? ddeexec : ddeexec.substr(bracket + 1);
    size_t paren = rest.find('(');
    return paren == std::string::npos ? std::string() : rest.substr(0, paren);
}

}  // namespace browser
