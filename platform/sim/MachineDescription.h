// The state of a simulated Windows computer and its network, as a machine
// description (the "machine" object of a scenario file) describes it.
//
// Plain data with value semantics: MachineLoader.h reads and writes it as JSON,
// SimPlatform keeps one as its current state. Texts are UTF-16 as the Windows
// functions hand them out; 32-bit numbers keep their unsigned bits.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tw::sim {

// A bad machine description (or a bad path asked of one). The message names
// the place: "machine.computers.WS01.accounts[2].flags: expected a 32-bit
// number, found \"abc\"".
class MachineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Wow64Mode {
    No,      // a native process: 64-bit on 64-bit Windows, or 32-bit Windows
    Yes,     // a 32-bit process on 64-bit Windows
    Missing, // a system without IsWow64Process
};

// The classic system colours (GetSysColor, indexes 0 to 30) of a light
// Windows 10 desktop, as 0x00BBGGRR.
inline constexpr std::array<std::uint32_t, 31> kDefaultSysColors = {
    0xC8C8C8, // 0 COLOR_SCROLLBAR
    0x000000, // 1 COLOR_BACKGROUND
    0xD1B499, // 2 COLOR_ACTIVECAPTION
    0xDBCDBF, // 3 COLOR_INACTIVECAPTION
    0xF0F0F0, // 4 COLOR_MENU
    0xFFFFFF, // 5 COLOR_WINDOW
    0x646464, // 6 COLOR_WINDOWFRAME
    0x000000, // 7 COLOR_MENUTEXT
    0x000000, // 8 COLOR_WINDOWTEXT
    0x000000, // 9 COLOR_CAPTIONTEXT
    0xB4B4B4, // 10 COLOR_ACTIVEBORDER
    0xFCF7F4, // 11 COLOR_INACTIVEBORDER
    0xABABAB, // 12 COLOR_APPWORKSPACE
    0xD77800, // 13 COLOR_HIGHLIGHT
    0xFFFFFF, // 14 COLOR_HIGHLIGHTTEXT
    0xF0F0F0, // 15 COLOR_BTNFACE
    0xA0A0A0, // 16 COLOR_BTNSHADOW
    0x6D6D6D, // 17 COLOR_GRAYTEXT
    0x000000, // 18 COLOR_BTNTEXT
    0x000000, // 19 COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF, // 20 COLOR_BTNHIGHLIGHT
    0x696969, // 21 COLOR_3DDKSHADOW
    0xE3E3E3, // 22 COLOR_3DLIGHT
    0x000000, // 23 COLOR_INFOTEXT
    0xE1FFFF, // 24 COLOR_INFOBK
    0x000000, // 25 (unused)
    0xCC6600, // 26 COLOR_HOTLIGHT
    0xEAD1B9, // 27 COLOR_GRADIENTACTIVECAPTION
    0xF2E4D7, // 28 COLOR_GRADIENTINACTIVECAPTION
    0xD77800, // 29 COLOR_MENUHILIGHT
    0xF0F0F0, // 30 COLOR_MENUBAR
};

// Visual styles as the desktop has them: the uxtheme answers.
struct ThemeState {
    bool library = true;             // uxtheme exists
    bool appThemed = false;          // IsAppThemed, while themeActive and appProperties allow it
    bool themeActive = false;        // IsThemeActive
    std::uint32_t appProperties = 7; // GetThemeAppProperties; SetThemeAppProperties changes it
    // GetThemeSysColor of the class "WINDOW" by colour index; an index not
    // listed gives the system colour.
    std::map<std::uint32_t, std::uint32_t> colors;

    bool operator==(const ThemeState&) const = default;
};

struct SystemInfo {
    std::uint32_t platformId = 2;
    std::uint32_t majorVersion = 10;
    std::uint32_t minorVersion = 0;
    std::uint32_t build = 19045;
    Wow64Mode wow64 = Wow64Mode::No;
    std::uint16_t uiLanguage = 1033;
    std::uint32_t threadLocale = 1033;
    std::uint32_t acp = 1252;
    std::u16string longDateFormat = u"dddd, MMMM d, yyyy";
    std::u16string decimalSign = u".";
    std::optional<std::u16string> userName = u"alice";    // null: GetUserNameW fails
    std::optional<std::u16string> computerName = u"WS01"; // null: GetComputerNameW fails
    bool isAdmin = true;
    // Variables for ExpandEnvironmentStringsW, in order; names are unique
    // without regard to case.
    std::vector<std::pair<std::u16string, std::u16string>> environment = {
        {u"SystemRoot", u"C:\\Windows"}, {u"windir", u"C:\\Windows"}};
    std::u16string executableFolder = u"C:\\Program Files\\Tarnwick";

    // The window system.
    std::array<std::uint32_t, 31> sysColors = kDefaultSysColors;
    ThemeState themes;
    bool keyboardCues = false;        // SPI_GETKEYBOARDCUES: focus and access-key cues always shown
    std::uint32_t smallIconSize = 16; // SM_CXSMICON, SM_CYSMICON
    std::uint32_t largeIconSize = 32; // SM_CXICON, SM_CYICON

    bool operator==(const SystemInfo&) const = default;
};

struct LanguageFile {
    std::u16string name = u"1033.loc";
    std::vector<std::uint8_t> content;
    bool folder = false;     // a folder of that name instead of a file
    bool unreadable = false; // exists, but reading it fails

    bool operator==(const LanguageFile&) const = default;
};

struct Account {
    std::u16string name;
    std::u16string fullName;
    std::u16string comment;
    // The relative ID; none: 500 for Administrator, 501 for Guest, else 1000
    // and the account's place in its computer's list (relativeId()).
    std::optional<std::uint32_t> rid;
    std::uint32_t flags = 513;
    std::uint32_t passwordAge = 0;
    std::uint32_t privilege = 1;
    std::uint32_t authFlags = 0;
    std::uint32_t lastLogon = 0;
    std::uint32_t lastLogoff = 0;
    std::uint32_t acctExpires = 0xFFFFFFFFu;
    std::uint32_t badPwCount = 0;
    std::uint32_t numLogons = 0;
    bool passwordExpired = false;
    // Why the server keeps the account's change-password right where the
    // program cannot reach it (a domain controller whose directory does not
    // answer); nothing where the right is read with the account.
    std::optional<std::u16string> changeRightOutOfReach;

    bool operator==(const Account&) const = default;
};

// The user modals, in the platform's units (seconds and counts).
struct Policy {
    std::uint32_t minPwdLen = 0;
    std::uint32_t maxPwdAge = 0;
    std::uint32_t minPwdAge = 0;
    std::uint32_t forceLogoff = 0;
    std::uint32_t pwdHistoryLen = 0;
    std::uint32_t lockoutDuration = 0;
    std::uint32_t lockoutObsWin = 0;
    std::uint32_t lockoutThreshold = 0;

    bool operator==(const Policy&) const = default;
};

struct Computer {
    std::u16string name;
    std::vector<Account> accounts; // in enumeration order
    Policy policy;
    // Failure injection: "NetUserEnum", "NetUserModalsGet.3", "NetUserEnum#2",
    // "NetUserModalsGet.3#1" (levels and call numbers in plain decimal) -> status.
    std::map<std::string, std::uint32_t> fail;
    // How long a call takes before it answers, in milliseconds, by the same
    // keys: a slow server or network, for the window's busy state.
    std::map<std::string, std::uint32_t> delay;
    // Writes (NetUserSetInfo, NetUserModalsSet) whose answer is lost, by the
    // same keys: the write is carried out, then the call fails with that
    // status, as when a server goes silent before it answers.
    std::map<std::string, std::uint32_t> answerLost;

    bool operator==(const Computer&) const = default;
};

struct RegValue {
    std::u16string name; // empty: the key's default value
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const RegValue&) const = default;
};

struct RegKey {
    std::u16string name;
    bool denyWrite = false;
    std::vector<RegValue> values;
    std::vector<RegKey> subkeys;

    bool operator==(const RegKey&) const = default;
};

// One tree per root. The 32-bit view of HKLM\SOFTWARE lies where Windows
// keeps it, under HKLM\SOFTWARE\WOW6432Node.
struct Registry {
    RegKey hklm{u"HKLM", false, {}, {}};
    RegKey hkcu{u"HKCU", false, {}, {}};

    bool operator==(const Registry&) const = default;
};

struct MachineDescription {
    SystemInfo system;
    std::optional<LanguageFile> languageFile;
    // Keyed by name without regard to case. The local computer is always
    // present: the loader adds it, empty, when the description leaves it out.
    std::vector<Computer> computers;
    std::uint32_t unknownServerStatus = 53;
    Registry registry;
    // Failure injection of the registry functions: "RegOpenKeyExW",
    // "RegSetValueExW#2" -> status.
    std::map<std::string, std::uint32_t> registryFail;
    // Additions to and replacements of the system message table; no value
    // removes a message.
    std::map<std::uint32_t, std::optional<std::u16string>> messages;
    // Failure injection of the window-system and visual-styles functions:
    // "LoadImageW", "SetWindowsHookExW#2" -> the status GetLastError reports.
    std::map<std::string, std::uint32_t> windowFail;

    bool operator==(const MachineDescription&) const = default;
};

// The relative ID of the account at `index` in its computer's list.
inline std::uint32_t relativeId(const Account& account, std::size_t index) {
    if (account.rid)
        return *account.rid;
    if (account.name == u"Administrator")
        return 500;
    if (account.name == u"Guest")
        return 501;
    return 1000 + static_cast<std::uint32_t>(index);
}

// The name by which calls without a server argument reach the local computer.
inline std::u16string localComputerName(const SystemInfo& system) {
    return system.computerName.value_or(u"WS01");
}

} // namespace tw::sim
