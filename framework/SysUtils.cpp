#include "SysUtils.h"

#include <climits>

namespace velfw {

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
bool IsPathDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }
}  // namespace

std::string TrimLeft(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return s.substr(i);
}

std::string TrimRight(const std::string& s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1])) --n;
    return s.substr(0, n);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

std::string UpperCase(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = Upper(c);
    return r;
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

bool StartsText(const std::string& prefix, const std::string& s) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

std::string IntToStr(long long value) { return std::to_string(value); }

namespace {

// Sign, then digits of the base, up to the full 32 bits (hexadecimal may
// use all of them, as a bit pattern).
std::optional<int32_t> ParseInt32(const std::string& s, bool allowHex) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int base = 10;
    if (allowHex && i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (allowHex && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return std::nullopt;
    long long value = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        value = value * base + digit;
        if (value > 0x100000000LL) return std::nullopt;
    }
    if (base == 16 && !negative && value <= 0xFFFFFFFFLL)
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int32_t> TryStrToInt(const std::string& s) { return ParseInt32(s, true); }

std::optional<int32_t> TryDecimalToInt(const std::string& s) { return ParseInt32(s, false); }

std::optional<uint32_t> TryDecimalToUint32(const std::string& s) {
    if (auto v = ParseInt32(s, false)) return static_cast<uint32_t>(*v);
    if (s.empty() || s.size() > 10 || s.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    unsigned long long v = std::stoull(s);
    if (v > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<uint32_t>(v);
}

int32_t StrToIntDef(const std::string& s, int32_t fallback) {
    auto v = TryStrToInt(s);
    return v ? *v : fallback;
}

std::string IncludeTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path;
    return path + "\\";
}

std::string ExcludeTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

std::string ExtractFileName(const std::string& path) {
    size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1])) --i;
    return path.substr(i);
}

std::string ExtractFilePath(const std::string& path) {
    size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1])) --i;
    return path.substr(0, i);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1]) && path[i - 1] != '.') --i;
    if (i > 0 && path[i - 1] == '.') return path.substr(0, i - 1) + ext;
    return path + ext;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

}  // namespace velfw
