// The browser host's rules that need no Windows: the option sets and their
// platform flag words, the page-setup margin text, the shell's DDE names.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace browser {

// What the control may download or run; element n is bit n of the set.
enum class TDownloadControlOption {
    DLIMAGES, VIDEOS, BGSOUNDS, NO_SCRIPTS, NO_JAVA, NO_RUNACTIVEXCTLS, NO_DLACTIVEXCTLS, DOWNLOADONLY,
    NO_FRAMEDOWNLOAD, RESYNCHRONIZE, PRAGMA_NO_CACHE, NO_BEHAVIORS, NO_METACHARSET, URL_ENCODING_DISABLE_UTF8,
    URL_ENCODING_ENABLE_UTF8, FORCEOFFLINE, NO_CLIENTPULL, SILENT, OFFLINE,
};
constexpr int kDownloadControlOptionCount = 19;

// Host flags returned to the control; element n is bit n of the set.
enum class TUserInterfaceOption {
    DIALOG, DISABLE_HELP_MENU, NO3DBORDER, SCROLL_NO, DISABLE_SCRIPT_INACTIVE, OPENNEWWIN, DISABLE_OFFSCREEN,
    FLAT_SCROLLBAR, DIV_BLOCKDEFAULT, ACTIVATE_CLIENTHIT_ONLY, OVERRIDEBEHAVIORFACTORY, CODEPAGELINKEDFONTS,
    URL_ENCODING_DISABLE_UTF8, URL_ENCODING_ENABLE_UTF8, ENABLE_FORMS_AUTOCOMPLETE, ENABLE_INPLACE_NAVIGATION,
    IME_ENABLE_RECONVERSION,
};
constexpr int kUserInterfaceOptionCount = 17;

// A set of up to 32 elements stored as a bit word.
template <typename E>
class TOptionSet {
public:
    constexpr TOptionSet() = default;
    constexpr TOptionSet(std::initializer_list<E> elements) {
        for (E e : elements) bits_ |= Bit(e);
    }
    static constexpr TOptionSet FromBits(uint32_t bits) {
        TOptionSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr uint32_t Bits() const { return bits_; }
    constexpr bool operator==(const TOptionSet&) const = default;

private:
    static constexpr uint32_t Bit(E e) { return 1u << static_cast<unsigned>(e); }
    uint32_t bits_ = 0;
};

using TDownloadControlOptions = TOptionSet<TDownloadControlOption>;
using TUserInterfaceOptions = TOptionSet<TUserInterfaceOption>;

// The platform's DLCTL_ word of a set: the sum of its elements' flags.
uint32_t DownloadControlValueOf(TDownloadControlOptions options);
// The platform's DOCHOSTUIFLAG word of a set.
uint32_t HostFlagsValueOf(TUserInterfaceOptions options);

// A stored page-setup margin ("0.750000", in inches) as the component keeps
// it: blanks removed, the first "." read as `decimalSeparator`, converted to
// millimetres unless `usesInches`. Raises velfw::Exception on a text that is no
// number, as the conversion does.
double PageSetupMargin(const std::string& text, char decimalSeparator, bool usesInches);

// The shell's DDE command name in a ddeexec text ("[ViewFolder(...)]"): the
// part after the first "[" (the whole text without one), cut before its first
// "("; empty when there is no "(".
std::string DdeCommandName(const std::string& ddeexec);

}  // namespace browser
