#include "ShellRules.h"

#include <optional>

#include "HostedWBRules.h"
#include "SysUtils.h"

namespace browser {

namespace {

bool IsNumberChar(char c) { return c == '+' || c == '-' || (c >= '0' && c <= '9'); }

// The run of sign and digit characters that starts at the first such
// character at or after `from`; `start` gets where it begins.
std::string NumberRunFrom(const std::string& s, size_t from, size_t* start = nullptr) {
    size_t i = from;
    while (i < s.size() && !IsNumberChar(s[i])) ++i;
    if (start) *start = i;
    size_t j = i;
    while (j < s.size() && IsNumberChar(s[j])) ++j;
    return s.substr(i, j - i);
}

// A decimal number as the shell writes handles and process ids: signed, or
// unsigned up to the full 32 bits.
std::optional<uint32_t> ToUint32(const std::string& text) { return velfw::TryDecimalToUint32(text); }

}  // namespace

std::string QuotedText(const std::string& text) {
    size_t first = text.find('"');
    if (first == std::string::npos) return {};
    size_t second = text.find('"', first + 1);
    if (second == std::string::npos) return {};
    return text.substr(first + 1, second - first - 1);
}

std::string HtmlExecuteAddress(const std::string& commandText) {
    if (!commandText.empty() && commandText[0] == '"') return QuotedText(commandText);
    return commandText;
}

TFolderCommand ParseFolderCommandText(const std::string& commandText, const TFolderCommandNames& names) {
    TFolderCommand none;
    const std::string name = DdeCommandName(commandText);
    // A name the registry did not give (empty) never matches.
    if (name.empty()) return none;
    TFolderCommandKind kind;
    if (name == names.Open) kind = TFolderCommandKind::Open;
    else if (name == names.Explore) kind = TFolderCommandKind::Explore;
    else if (name == names.Find) kind = TFolderCommandKind::Find;
    else return none;

    TFolderCommand cmd;
    cmd.Kind = kind;
    cmd.Path = QuotedText(commandText);

    // The arguments follow the quoted path; a comma inside the path is not a
    // separator.
    size_t argsFrom = 0;
    if (size_t q1 = commandText.find('"'); q1 != std::string::npos)
        if (size_t q2 = commandText.find('"', q1 + 1); q2 != std::string::npos) argsFrom = q2 + 1;
    size_t comma1 = commandText.find(',', argsFrom);
    if (comma1 == std::string::npos) return none;

    size_t handleStart = 0;
    std::string handleText = NumberRunFrom(commandText, comma1 + 1, &handleStart);
    std::string processText = "0";
    size_t sep = commandText.find_first_of(":,", handleStart);
    if (sep != std::string::npos && commandText[sep] == ':') processText = NumberRunFrom(commandText, sep + 1);
    auto handle = ToUint32(handleText);
    auto process = ToUint32(processText);
    if (!handle || !process) return none;
    // Process id 0 would mean "the handle is an address in this process":
    // a number from a message is never used as a pointer.
    if (*process != 0) {
        cmd.HasSharedList = true;
        cmd.Handle = *handle;
        cmd.ProcessId = *process;
    }

    size_t comma2 = commandText.find(',', comma1 + 1);
    if (comma2 != std::string::npos) {
        size_t i = comma2 + 1;
        while (i < commandText.size() && !IsNumberChar(commandText[i])) ++i;
        if (i < commandText.size()) {
            char c = commandText[i];
            if (c < '0' || c > '9') return none;  // a sign without its digit
            cmd.ShowCommand = c - '0';
        }
    }
    return cmd;
}

bool OfferKeyToBrowser(unsigned virtualKey, uint32_t lParam) {
    constexpr unsigned kBack = 0x08, kReturn = 0x0D, kLeft = 0x25, kRight = 0x27;
    constexpr uint32_t kExtendedKey = 1u << 24;
    if (virtualKey == kBack || virtualKey == kReturn) return false;
    if ((virtualKey == kLeft || virtualKey == kRight) && (lParam & kExtendedKey)) return false;
    return true;
}

std::string ReplaceBrowserCaption(const std::string& caption, const std::string& applicationTitle) {
    std::string s = caption;
    const std::string vendor = "Microsoft ";
    if (size_t p = s.find(vendor); p != std::string::npos) s.erase(p, vendor.size());
    const std::string product = "Internet Explorer";
    if (size_t p = s.find(product); p != std::string::npos) s.replace(p, product.size(), applicationTitle);
    return s;
}

}  // namespace browser
