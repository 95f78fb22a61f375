// Version, process, messages, names, language, locale and environment.
#include "SimSystem.h"

#include "SystemMessages.h"
#include "platform/TextCompare.h"

#include <cstring>

namespace tw::sim {

using namespace win;

namespace {

constexpr BOOL kFalse = 0;
constexpr BOOL kTrue = 1;
constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_INVALID_FLAGS = 1004;
constexpr DWORD ERROR_NO_SUCH_LOGON_SESSION = 1312;
constexpr DWORD ERROR_RESOURCE_LANG_NOT_FOUND = 15100;
constexpr DWORD LOCALE_NOUSEROVERRIDE = 0x80000000u;
constexpr DWORD TCI_SRCCHARSET = 1;

HANDLE currentProcess() {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
}

struct Charset {
    UINT codePage;
    UINT charset;
    DWORD codePageBit; // the code page's bit of CHARSETINFO.fsCsb[0]
};

constexpr Charset kCharsets[] = {
    {1252, 0, 0x1},      {1250, 238, 0x2},     {1251, 204, 0x4},    {1253, 161, 0x8},
    {1254, 162, 0x10},   {1255, 177, 0x20},    {1256, 178, 0x40},   {1257, 186, 0x80},
    {1258, 163, 0x100},  {874, 222, 0x10000},  {932, 128, 0x20000}, {936, 134, 0x40000},
    {949, 129, 0x80000}, {950, 136, 0x100000},
};

} // namespace

BOOL SimSystem::GetVersionExA(OSVERSIONINFOA* info) {
    // OSVERSIONINFOA or OSVERSIONINFOEXA.
    if (info == nullptr || (info->dwOSVersionInfoSize != 148 && info->dwOSVersionInfoSize != 156)) {
        state_.lastError = ERROR_INSUFFICIENT_BUFFER;
        return kFalse;
    }
    const SystemInfo& s = state_.machine.system;
    info->dwMajorVersion = s.majorVersion;
    info->dwMinorVersion = s.minorVersion;
    info->dwBuildNumber = s.build;
    info->dwPlatformId = s.platformId;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    return kTrue;
}

HANDLE SimSystem::GetCurrentProcess() {
    return currentProcess();
}

bool SimSystem::HasIsWow64Process() {
    return state_.machine.system.wow64 != Wow64Mode::Missing;
}

BOOL SimSystem::IsWow64Process(HANDLE hProcess, BOOL* Wow64Process) {
    if (state_.machine.system.wow64 == Wow64Mode::Missing) {
        state_.lastError = ERROR_PROC_NOT_FOUND;
        return kFalse;
    }
    if (hProcess != currentProcess()) {
        state_.lastError = ERROR_INVALID_HANDLE;
        return kFalse;
    }
    if (Wow64Process == nullptr) {
        state_.lastError = ERROR_INVALID_PARAMETER;
        return kFalse;
    }
    *Wow64Process = state_.machine.system.wow64 == Wow64Mode::Yes ? kTrue : kFalse;
    return kTrue;
}

DWORD SimSystem::FormatMessageW(DWORD dwFlags, const void* /*lpSource*/, DWORD dwMessageId,
                                DWORD dwLanguageId, LPWSTR lpBuffer, DWORD nSize,
                                void* /*Arguments*/) {
    // Only messages from the system table with their inserts left as they are.
    if (dwFlags != (FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS) ||
        lpBuffer == nullptr) {
        state_.lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    // The table is English: language 0 (the default search), the user's and
    // the system's default, and US English find it.
    if (dwLanguageId != 0 && dwLanguageId != 0x400 && dwLanguageId != 0x800 &&
        dwLanguageId != 0x409) {
        state_.lastError = ERROR_RESOURCE_LANG_NOT_FOUND;
        return 0;
    }
    std::optional<std::u16string_view> text;
    auto custom = state_.machine.messages.find(dwMessageId);
    if (custom != state_.machine.messages.end()) {
        if (custom->second)
            text = *custom->second;
    } else if (const char16_t* builtIn = systemMessage(dwMessageId)) {
        text = builtIn;
    }
    if (!text) {
        state_.lastError = ERROR_MR_MID_NOT_FOUND;
        return 0;
    }
    if (text->size() + 1 > nSize) {
        state_.lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    std::memcpy(lpBuffer, text->data(), text->size() * sizeof(WCHAR));
    lpBuffer[text->size()] = 0;
    return static_cast<DWORD>(text->size());
}

BOOL SimSystem::GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer) {
    if (pcbBuffer == nullptr) {
        state_.lastError = ERROR_INVALID_PARAMETER;
        return kFalse;
    }
    const auto& name = state_.machine.system.userName;
    if (!name) {
        state_.lastError = ERROR_NO_SUCH_LOGON_SESSION;
        return kFalse;
    }
    // The size counts the terminating NUL, on success and when too small.
    DWORD needed = static_cast<DWORD>(name->size() + 1);
    if (*pcbBuffer < needed || lpBuffer == nullptr) {
        *pcbBuffer = needed;
        state_.lastError = ERROR_INSUFFICIENT_BUFFER;
        return kFalse;
    }
    std::memcpy(lpBuffer, name->c_str(), needed * sizeof(WCHAR));
    *pcbBuffer = needed;
    return kTrue;
}

BOOL SimSystem::GetComputerNameW(LPWSTR lpBuffer, LPDWORD nSize) {
    if (nSize == nullptr) {
        state_.lastError = ERROR_INVALID_PARAMETER;
        return kFalse;
    }
    const auto& name = state_.machine.system.computerName;
    if (!name) {
        // The name lives in the registry; without it there is nothing to read.
        state_.lastError = ERROR_FILE_NOT_FOUND;
        return kFalse;
    }
    // Too small: the size needed with the NUL; success: the length without it.
    DWORD needed = static_cast<DWORD>(name->size() + 1);
    if (*nSize < needed || lpBuffer == nullptr) {
        *nSize = needed;
        state_.lastError = ERROR_BUFFER_OVERFLOW;
        return kFalse;
    }
    std::memcpy(lpBuffer, name->c_str(), needed * sizeof(WCHAR));
    *nSize = needed - 1;
    return kTrue;
}

LANGID SimSystem::GetUserDefaultUILanguage() {
    return state_.machine.system.uiLanguage;
}

LCID SimSystem::GetThreadLocale() {
    return state_.machine.system.threadLocale;
}

UINT SimSystem::GetACP() {
    return state_.machine.system.acp;
}

BOOL SimSystem::TranslateCharsetInfo(DWORD* lpSrc, CHARSETINFO* lpCs, DWORD dwFlags) {
    // With these two flags Windows takes the code page or character set number
    // itself in place of the pointer.
    const auto source = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(lpSrc));
    if (lpCs == nullptr || (dwFlags != TCI_SRCCODEPAGE && dwFlags != TCI_SRCCHARSET)) {
        state_.lastError = ERROR_INVALID_PARAMETER;
        return kFalse;
    }
    for (const auto& c : kCharsets) {
        if ((dwFlags == TCI_SRCCODEPAGE ? c.codePage : c.charset) == source) {
            *lpCs = CHARSETINFO{c.charset, c.codePage, {0, 0, 0, 0}, {c.codePageBit, 0}};
            return kTrue;
        }
    }
    state_.lastError = ERROR_INVALID_PARAMETER;
    return kFalse;
}

int SimSystem::GetLocaleInfoW(LCID /*Locale*/, DWORD LCType, LPWSTR lpLCData, int cchData) {
    // Every locale answers with the user's settings: the simulated computer has one.
    const std::u16string* text = nullptr;
    switch (LCType & ~LOCALE_NOUSEROVERRIDE) {
    case LOCALE_SDECIMAL:
        text = &state_.machine.system.decimalSign;
        break;
    case LOCALE_SLONGDATE:
        text = &state_.machine.system.longDateFormat;
        break;
    default:
        state_.lastError = ERROR_INVALID_FLAGS;
        return 0;
    }
    if (cchData < 0 || (cchData > 0 && lpLCData == nullptr)) {
        state_.lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    int needed = static_cast<int>(text->size() + 1);
    if (cchData == 0)
        return needed; // a size query
    if (cchData < needed) {
        state_.lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    std::memcpy(lpLCData, text->c_str(), static_cast<std::size_t>(needed) * sizeof(WCHAR));
    return needed;
}

DWORD SimSystem::ExpandEnvironmentStringsW(LPCWSTR lpSrc, LPWSTR lpDst, DWORD nSize) {
    if (lpSrc == nullptr) {
        state_.lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    std::u16string_view src(lpSrc);
    std::u16string out;
    std::size_t i = 0;
    while (i < src.size()) {
        std::size_t close = src[i] == u'%' ? src.find(u'%', i + 1) : std::u16string_view::npos;
        if (close == std::u16string_view::npos) {
            // Plain text, or a "%" without its closing one: copied as it stands.
            std::size_t next = src[i] == u'%' ? src.size() : src.find(u'%', i);
            if (next == std::u16string_view::npos)
                next = src.size();
            out.append(src.substr(i, next - i));
            i = next;
            continue;
        }
        std::u16string_view name = src.substr(i + 1, close - i - 1);
        const std::u16string* value = nullptr;
        for (const auto& [var, content] : state_.machine.system.environment) {
            if (!name.empty() && EqualsIgnoringCase(var, name))
                value = &content;
        }
        // An unknown name stays as it stands, with both "%".
        out.append(value != nullptr ? std::u16string_view(*value) : src.substr(i, close - i + 1));
        i = close + 1;
    }
    DWORD needed = static_cast<DWORD>(out.size() + 1);
    if (lpDst != nullptr && needed <= nSize)
        std::memcpy(lpDst, out.c_str(), needed * sizeof(WCHAR));
    return needed;
}

} // namespace tw::sim
