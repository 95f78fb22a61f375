// Windows types and records as the program's logic sees them.
//
// The logic never includes <windows.h>; these declarations carry the Windows
// names, field names and field types, with WCHAR as char16_t. On Windows the
// real backend checks at compile time that every record here has the SDK's
// layout, so a pointer handed out by netapi32 can be read through them.
#pragma once

#include "WinHandles.h"

#include <cstddef>
#include <cstdint>

namespace tw::win {

using LANGID = WORD;
using LCID = DWORD;
using NET_API_STATUS = DWORD;
using REGSAM = DWORD;
using LSTATUS = LONG;

struct HKEY__;
using HKEY = HKEY__*;

inline HKEY PredefinedKey(ULONG_PTR value) {
    return reinterpret_cast<HKEY>(value);
}
inline HKEY HKEY_CURRENT_USER_() {
    return PredefinedKey(0x80000001u);
}
inline HKEY HKEY_LOCAL_MACHINE_() {
    return PredefinedKey(0x80000002u);
}

// Status codes the program meets.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD NERR_Success = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_BAD_NETPATH = 53;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_INVALID_LEVEL = 124;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_MR_MID_NOT_FOUND = 317;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_LOGON_FAILURE = 1326;
constexpr DWORD RPC_S_SERVER_UNAVAILABLE = 1722;
constexpr DWORD ERROR_ACCOUNT_LOCKED_OUT = 1909;
constexpr DWORD ERROR_NO_LOGON_SERVERS = 1311;
constexpr DWORD ERROR_TIME_SKEW = 1398;
constexpr DWORD NERR_InvalidComputer = 2351;
constexpr DWORD NERR_UserNotFound = 2221;
// ... and those a server or the connection to it answers.
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_NETNAME_DELETED = 64;
constexpr DWORD ERROR_BAD_NET_NAME = 67;
constexpr DWORD ERROR_SEM_TIMEOUT = 121;
constexpr DWORD ERROR_INVALID_PASSWORD = 86;
constexpr DWORD ERROR_ACCOUNT_RESTRICTION = 1327;
constexpr DWORD ERROR_INVALID_LOGON_HOURS = 1328;
constexpr DWORD ERROR_INVALID_WORKSTATION = 1329;
constexpr DWORD ERROR_PASSWORD_EXPIRED = 1330;
constexpr DWORD ERROR_ACCOUNT_DISABLED = 1331;
constexpr DWORD ERROR_INVALID_SECURITY_DESCR = 1338;
constexpr DWORD ERROR_LOGON_TYPE_NOT_GRANTED = 1385;
constexpr DWORD ERROR_ACCOUNT_EXPIRED = 1793;
constexpr DWORD ERROR_NO_SUCH_DOMAIN = 1355;
constexpr DWORD RPC_S_CALL_FAILED = 1726;
constexpr DWORD RPC_S_PROTOCOL_ERROR = 1728;
constexpr DWORD RPC_X_BAD_STUB_DATA = 1783;
constexpr DWORD ERROR_PASSWORD_MUST_CHANGE = 1907;
// The security packages' own, for a Kerberos sign-in that cannot be made.
constexpr DWORD SEC_E_NO_CREDENTIALS = 0x8009030E;
constexpr DWORD SEC_E_CONTEXT_EXPIRED = 0x80090317;
constexpr DWORD SEC_E_WRONG_PRINCIPAL = 0x80090322;

// NetUserEnum filter and flag bits.
constexpr DWORD FILTER_NORMAL_ACCOUNT = 0x0002;
constexpr DWORD UF_ACCOUNTDISABLE = 0x0002;
constexpr DWORD UF_LOCKOUT = 0x0010;
constexpr DWORD UF_PASSWD_NOTREQD = 0x0020;
constexpr DWORD UF_PASSWD_CANT_CHANGE = 0x0040;
constexpr DWORD UF_NORMAL_ACCOUNT = 0x0200;
constexpr DWORD UF_DONT_EXPIRE_PASSWD = 0x10000;
constexpr DWORD UF_PASSWORD_EXPIRED = 0x800000;
constexpr DWORD MAX_PREFERRED_LENGTH = 0xFFFFFFFFu;

// FormatMessage flags.
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x200;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

// Registry.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;

struct USER_INFO_0 {
    LPWSTR usri0_name;
};

struct USER_INFO_3 {
    LPWSTR usri3_name;
    LPWSTR usri3_password;
    DWORD usri3_password_age;
    DWORD usri3_priv;
    LPWSTR usri3_home_dir;
    LPWSTR usri3_comment;
    DWORD usri3_flags;
    LPWSTR usri3_script_path;
    DWORD usri3_auth_flags;
    LPWSTR usri3_full_name;
    LPWSTR usri3_usr_comment;
    LPWSTR usri3_parms;
    LPWSTR usri3_workstations;
    DWORD usri3_last_logon;
    DWORD usri3_last_logoff;
    DWORD usri3_acct_expires;
    DWORD usri3_max_storage;
    DWORD usri3_units_per_week;
    BYTE* usri3_logon_hours;
    DWORD usri3_bad_pw_count;
    DWORD usri3_num_logons;
    LPWSTR usri3_logon_server;
    DWORD usri3_country_code;
    DWORD usri3_code_page;
    DWORD usri3_user_id;
    DWORD usri3_primary_group_id;
    LPWSTR usri3_profile;
    LPWSTR usri3_home_dir_drive;
    DWORD usri3_password_expired;
};

struct USER_INFO_20 {
    LPWSTR usri20_name;
    LPWSTR usri20_full_name;
    LPWSTR usri20_comment;
    DWORD usri20_flags;
    DWORD usri20_user_id;
};

struct USER_INFO_1008 {
    DWORD usri1008_flags;
};

struct USER_MODALS_INFO_0 {
    DWORD usrmod0_min_passwd_len;
    DWORD usrmod0_max_passwd_age;
    DWORD usrmod0_min_passwd_age;
    DWORD usrmod0_force_logoff;
    DWORD usrmod0_password_hist_len;
};

struct USER_MODALS_INFO_3 {
    DWORD usrmod3_lockout_duration;
    DWORD usrmod3_lockout_observation_window;
    DWORD usrmod3_lockout_threshold;
};

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

struct CHARSETINFO {
    UINT ciCharset;
    UINT ciACP;
    DWORD fsUsb[4];
    DWORD fsCsb[2];
};
constexpr DWORD TCI_SRCCODEPAGE = 2;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr DWORD LOCALE_SDECIMAL = 0x000E;
constexpr DWORD LOCALE_SLONGDATE = 0x0020;

// ---- Window system (user32) and visual styles (uxtheme) ----

// Status codes of the window functions.
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_NOACCESS = 998;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_INVALID_CURSOR_HANDLE = 1402;
constexpr DWORD ERROR_INVALID_HOOK_HANDLE = 1404;
constexpr DWORD ERROR_INVALID_INDEX = 1413;
constexpr DWORD ERROR_INVALID_HOOK_FILTER = 1426;
constexpr DWORD ERROR_INVALID_FILTER_PROC = 1427;
constexpr DWORD ERROR_HOOK_NEEDS_HMOD = 1428;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_HANDLE = static_cast<HRESULT>(0x80070006u);

// Messages.
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_UPDATEUISTATE = 0x0128;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_THEMECHANGED = 0x031A;

// WM_SETICON.
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;
constexpr WPARAM ICON_SMALL2 = 2;

// WM_UPDATEUISTATE: the action in the low word, the state flags in the high word.
constexpr WORD UIS_SET = 1;
constexpr WORD UIS_CLEAR = 2;
constexpr WORD UIS_INITIALIZE = 3;
constexpr WORD UISF_HIDEFOCUS = 0x1;
constexpr WORD UISF_HIDEACCEL = 0x2;
constexpr WPARAM MAKEWPARAM_(WORD low, WORD high) {
    return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// SetWindowLongW.
constexpr int GWL_WNDPROC = -4;

// GetSystemMetrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;

// LoadImageW.
constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_DEFAULTCOLOR = 0x0000;
constexpr UINT LR_DEFAULTSIZE = 0x0040;
// A resource named by number, as MAKEINTRESOURCEW makes it.
inline LPCWSTR MAKEINTRESOURCEW_(WORD id) {
    return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(id));
}

// SystemParametersInfoW.
constexpr UINT SPI_GETKEYBOARDCUES = 0x100A;

// Hooks.
constexpr int WH_KEYBOARD = 2;
constexpr int WH_MOUSE = 7;
constexpr int HC_ACTION = 0;

// Virtual keys; the mouse buttons count as keys in the keyboard state.
constexpr BYTE VK_LBUTTON = 0x01;
constexpr BYTE VK_RBUTTON = 0x02;
constexpr BYTE VK_MBUTTON = 0x04;
constexpr BYTE VK_SHIFT = 0x10;
constexpr BYTE VK_CONTROL = 0x11;
constexpr BYTE VK_MENU = 0x12;

// System colour indexes.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_3DDKSHADOW = 21;
// Indexes 0 to 30 are the classic system colours.
constexpr int SYSTEM_COLOR_COUNT = 31;

// SetThemeAppProperties / GetThemeAppProperties.
constexpr DWORD STAP_ALLOW_NONCLIENT = 0x1;
constexpr DWORD STAP_ALLOW_CONTROLS = 0x2;
constexpr DWORD STAP_ALLOW_WEBCONTENT = 0x4;

struct POINT {
    LONG x;
    LONG y;
};

// What a WH_MOUSE hook procedure gets at lParam.
struct MOUSEHOOKSTRUCT {
    POINT pt;
    HWND hwnd;
    UINT wHitTestCode;
    ULONG_PTR dwExtraInfo;
};
constexpr UINT HTCLIENT = 1;

} // namespace tw::win
