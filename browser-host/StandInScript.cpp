#include "StandInScript.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace browser {

namespace {

bool ToLong(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || v < 0) return false;
    value = v;
    return true;
}

// Applies one key=value to `rule`; false with `error` set when it cannot.
bool ApplyKey(TStandInRule& rule, const std::string& key, const std::string& value, std::string& error) {
    long n = 0;
    if (key == "complete") {
        if (value == "never") {
            rule.CompleteMs = -1;
            return true;
        }
        if (!ToLong(value, n)) return error = "bad time '" + value + "'", false;
        rule.CompleteMs = n;
    } else if (key == "frames" || key == "framegap" || key == "scroll" || key == "client" ||
               key == "scripterror" || key == "popup" || key == "error") {
        if (!ToLong(value, n)) return error = "bad number '" + value + "' for " + key, false;
        if (key == "frames") rule.Frames = static_cast<int>(n);
        else if (key == "framegap") rule.FrameGapMs = n;
        else if (key == "scroll") rule.ScrollHeight = n;
        else if (key == "client") rule.ClientHeight = n;
        else if (key == "scripterror") rule.ScriptErrorMs = n;
        else if (key == "popup") rule.PopupMs = n;
        else rule.ErrorStatus = n;
    } else if (key == "document") {
        if (value != "none") return error = "document takes only 'none'", false;
        rule.NoDocument = true;
    } else if (key == "body") {
        if (value == "none") rule.Body = TStandInBodyKind::None;
        else if (value == "noscroll") rule.Body = TStandInBodyKind::NoScroll;
        else return error = "body takes 'none' or 'noscroll'", false;
    } else if (key == "navigate") {
        if (value != "fail") return error = "navigate takes only 'fail'", false;
        rule.FailNavigate = true;
    } else {
        return error = "unknown key '" + key + "'", false;
    }
    return true;
}

bool ParseCreateLine(std::istringstream& words, TStandInScript& script, std::string& error) {
    std::string word;
    bool any = false;
    while (words >> word) {
        if (word.rfind("fail=", 0) != 0) return error = "create takes only fail=", false;
        std::string list = word.substr(5);
        if (list == "all") {
            script.AllCreationsFail = true;
            any = true;
            continue;
        }
        std::istringstream items(list);
        std::string item;
        while (std::getline(items, item, ',')) {
            long n = 0;
            if (!ToLong(item, n) || n == 0) return error = "bad creation number '" + item + "'", false;
            script.FailingCreations.push_back(static_cast<int>(n));
            any = true;
        }
    }
    if (!any) return error = "create names no creation", false;
    return true;
}

}  // namespace

TStandInScript TStandInScript::Parse(const std::string& text) {
    TStandInScript script;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string head;
        if (!(words >> head)) continue;
        std::string error;
        if (head == "create") {
            TStandInScript trial = script;
            if (ParseCreateLine(words, trial, error)) script = std::move(trial);
        } else {
            TStandInRule rule;
            if (head != "default") {
                rule.Address = head;
                if (head.size() > 1 && head.back() == '*') {
                    rule.Prefix = true;
                    rule.Address.pop_back();
                }
            }
            std::string word;
            bool ok = true;
            while (ok && words >> word) {
                size_t eq = word.find('=');
                if (eq == std::string::npos) {
                    error = "'" + word + "' is not key=value";
                    ok = false;
                } else {
                    ok = ApplyKey(rule, word.substr(0, eq), word.substr(eq + 1), error);
                }
            }
            if (ok) {
                if (head == "default") script.Default = rule;
                else script.Rules.push_back(rule);
            }
        }
        if (!error.empty()) script.Errors.push_back("line " + std::to_string(number) + ": " + error);
    }
    return script;
}

TStandInScript TStandInScript::ReadFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        TStandInScript script;
        script.Errors.push_back(path + " cannot be read");
        return script;
    }
    std::stringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

TStandInRule TStandInScript::Find(const std::string& address) const {
    const TStandInRule* best = nullptr;
    for (const TStandInRule& r : Rules) {
        if (!r.Prefix && r.Address == address) return r;
        if (r.Prefix && address.compare(0, r.Address.size(), r.Address) == 0 &&
            (!best || r.Address.size() > best->Address.size()))
            best = &r;
    }
    if (best) return *best;
    TStandInRule d = Default;
    d.Address.clear();
    d.Prefix = false;
    return d;
}

bool TStandInScript::CreationFails(int n) const {
    if (AllCreationsFail) return true;
    for (int f : FailingCreations)
        if (f == n) return true;
    return false;
}

void AppendStandInLog(const std::string& file, unsigned long tick, int browser, const std::string& text) {
    std::ofstream out(file, std::ios::app);
    out << tick << " #" << browser << ' ' << text << '\n';
}

}  // namespace browser
