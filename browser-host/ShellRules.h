// Text rules of the browser's shell integration: the folder command the
// shell sends, the keys offered to the
// browser, and the caption given to the browser's own dialogs. No Windows
// here: this file also builds natively for the sanitizer run.
#pragma once

#include <cstdint>
#include <string>

namespace browser {

// The text between the first and the second double quote; empty when the
// text has fewer than two.
std::string QuotedText(const std::string& text);

// The address of an HTML-file execute request: the quoted part when the text
// starts with a double quote, else the whole text.
std::string HtmlExecuteAddress(const std::string& commandText);

enum class TFolderCommandKind { None = 0, Open = 1, Explore = 2, Find = 3 };

struct TFolderCommandNames {
    std::string Open, Explore, Find;
};

// A folder command as the shell sends it:
// `[Name("path", :handle:process, show)]`. The item-ID list is only taken
// from a block of shared memory (handle and process id); the older form with
// a bare number, an address inside this process, is never trusted.
struct TFolderCommand {
    TFolderCommandKind Kind = TFolderCommandKind::None;
    std::string Path;
    bool HasSharedList = false;  // Handle and ProcessId name a shared block
    uint32_t Handle = 0;
    uint32_t ProcessId = 0;
    int ShowCommand = 1;
};

// Reads a folder command. Kind None means "not recognised": an unknown
// command name, or numbers that do not convert; then nothing else is set.
TFolderCommand ParseFolderCommandText(const std::string& commandText, const TFolderCommandNames& names);

// Whether a key message is offered to the browser for translation before it
// is dispatched: never Backspace or Enter, nor the extended (grey) Left and
// Right arrows, which the browser's window must get as they are.
bool OfferKeyToBrowser(unsigned virtualKey, uint32_t lParam);

// The caption of one of the browser's own dialogs with the application's
// title in place of the browser's name.
std::string ReplaceBrowserCaption(const std::string& caption, const std::string& applicationTitle);

}  // namespace browser
