// A simulated Windows computer and its network: every platform interface of
// the program, answered from a machine description as Windows answers.
//
//     SimPlatform sim(loadMachineText(text));   // MachineLoader.h
//     FUserInfo window(..., sim.platform());
//
// What it models (see README.md in this folder for the details):
// - network management: the local computer (no server argument, or its own
//   name) and named servers ("\\NAME" or "NAME", without regard to case);
//   any other server fails every call with machine.unknownServerStatus;
//   NetUserEnum batches by preferred length, resumed by handle; lockout that
//   can only be cleared; failure injection per function, level and call;
//   every buffer a real allocation, tracked until NetApiBufferFree;
// - the system message table, names, version, WOW64, language and code page,
//   locale settings and environment; GetLastError as the functions set it;
// - the registry with its 32-bit and 64-bit views, handles with their access
//   rights, administrator rights for HKLM, denied keys;
// - the language file in the executable's folder;
// - the window system: system colours, metrics, the keyboard-cue setting,
//   icons, windows with their procedures (each non-null window handle is a
//   window of this thread with the default procedure until SetWindowLongW
//   replaces it), thread hooks fed by keyEvent and mouseMove, the keyboard
//   state; and the visual styles of uxtheme, which may be missing.
//
// The platform functions never throw. Only the scenario-runner functions
// applyPatch and query throw MachineError, for a bad patch or path.
#pragma once

#include "MachineDescription.h"
#include "RegistryTree.h"
#include "platform/NetApiFront.h"

#include "platform/Platform.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tw::sim {

class SimPlatform final : public win::INetServer,
                          public win::ISystem,
                          public win::IRegistry,
                          public win::IFileSystem,
                          public win::IWindowSystem,
                          public win::IVisualStyles {
public:
    explicit SimPlatform(MachineDescription machine = {});
    ~SimPlatform() override;
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    // The interfaces as one bundle, valid while this object lives.
    win::Platform platform();

    // ---- For the scenario runner and tests -------------------------------

    const MachineDescription& machine() const { return machine_; }

    // A "machine" step: merges `patch` into the current state (toJson) key by
    // key at every depth, arrays and other values replacing, and validates the
    // result. The call logs, buffers, call counters, open key handles and the
    // last error survive. Throws MachineError (state unchanged) when the
    // result is not a valid machine.
    void applyPatch(const nlohmann::json& patch);

    // A "Machine.PATH" expectation: the value at a '/'-separated path of
    // toJson(), computers and accounts found by name without regard to case
    // ("computers/SRV01/accounts/alice/flags", "computers/WS01/policy/maxPwdAge",
    // "system/isAdmin"). Numbers come unsigned. "registry/KEY/NAME" gives a
    // value of the 64-bit (native) view as {"type": 4, "dword": 14}, and
    // "registry32/KEY/NAME" one of the 32-bit view; KEY is a path from HKLM
    // or HKCU with backslashes, NAME may be empty (the default value);
    // "registry/KEY" gives an object of all values of the key. Absent computers,
    // accounts, keys and values give null; a field the machine format does
    // not have throws MachineError.
    nlohmann::json query(const std::string& path) const;

    // The current state in the machine format (MachineLoader.h).
    nlohmann::json toJson() const;

    // The network-management functions of this computer and its network,
    // with their call log and buffers (NetApiFront).
    win::NetApiFront& net() { return net_; }
    const win::NetApiFront& net() const { return net_; }

    // Registry calls, in order, the key shown by the path it was opened by
    // (before any redirection), access masks in hexadecimal:
    //   "RegOpenKeyExW HKLM\SOFTWARE\...\Winlogon 0x20019"
    //   "RegCreateKeyExW HKCU\Software\Tarnwick 0x20006"
    //   "RegQueryValueExW HKLM\...\Winlogon PasswordExpiryWarning"
    //   "RegSetValueExW HKLM\...\Winlogon PasswordExpiryWarning type 4, 4 bytes"
    //   "RegDeleteValueW HKLM\...\Winlogon PasswordExpiryWarning"
    //   "RegCloseKey HKLM\...\Winlogon"
    // An empty value name shows as "(default)", an unknown handle as its
    // number ("0x1234").
    const std::vector<std::string>& registryCalls() const { return registryCalls_; }
    void clearRegistryCalls() { registryCalls_.clear(); }
    // Key handles opened and not yet closed.
    std::size_t openKeyCount() const { return keys_.size(); }

    // ---- Window system: input and messages from outside the program ------

    // A key of virtual key code `vk` goes down or up: the thread's keyboard
    // hooks see it (HC_ACTION, the key code, the keystroke flags) and the
    // keyboard state follows (down until it goes up).
    void keyEvent(win::BYTE vk, bool up);
    // The pointer moves to (x, y), screen pixels: the thread's mouse hooks see
    // WM_MOUSEMOVE with a MOUSEHOOKSTRUCT.
    void mouseMove(win::LONG x, win::LONG y);
    // A key or mouse button (VK_LBUTTON, VK_RBUTTON...) held down or
    // released, as GetKeyboardState reports it; no hook sees this.
    void setKeyDown(win::BYTE vk, bool down);
    // The window system sends a window a message of its own
    // (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE, WM_THEMECHANGED): the window's
    // current procedure gets it. Not in windowMessages().
    win::LRESULT deliverMessage(win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                                win::LPARAM lParam);

    // ---- Window system: what the program did -------------------------------

    // The messages the program sent with SendMessageW, in order, as
    // "WM_UPDATEUISTATE 0x30002 0" (name or number, wParam, lParam) and
    // "WM_SETICON ICON_SMALL 16x16" (the icon by its size, "0" for none).
    const std::vector<std::string>& windowMessages() const { return windowMessages_; }
    void clearWindowMessages() { windowMessages_.clear(); }
    // Icons loaded and not yet destroyed.
    std::size_t liveIcons() const { return icons_.size(); }
    // The icon a window holds, as "16x16" ("?" for a handle that is no icon
    // of this computer), or empty when it has none.
    std::string windowIcon(win::HWND hWnd, bool big) const;
    // The installed hooks, oldest first: "WH_KEYBOARD", "WH_MOUSE".
    std::vector<std::string> hooks() const;
    // A window's user-interface state flags (UISF_HIDEFOCUS, UISF_HIDEACCEL)
    // as WM_UPDATEUISTATE left them; a new window hides both unless the
    // keyboard-cue setting always shows them.
    win::WORD uiState(win::HWND hWnd) const;
    // Theme handles opened and not yet closed.
    std::size_t openThemes() const { return themes_.size(); }
    // Calls of uxtheme functions made while the library is missing.
    std::size_t missingLibraryCalls() const { return missingLibraryCalls_; }

    // ---- INetServer --------------------------------------------------------
    win::NET_API_STATUS ListUsers(const std::u16string& server, win::DWORD filter, bool continuing,
                                  std::vector<std::u16string>& names) override;
    win::NET_API_STATUS GetUser(const std::u16string& server, const std::u16string& name,
                                const win::NetBufferAllocator& allocate, void*& record) override;
    win::NET_API_STATUS SetUserFlags(const std::u16string& server, const std::u16string& name,
                                     win::DWORD flags) override;
    win::NET_API_STATUS GetPolicy(const std::u16string& server, win::DWORD level,
                                  win::USER_MODALS_INFO_0& passwords,
                                  win::USER_MODALS_INFO_3& lockout) override;
    win::NET_API_STATUS SetPasswordPolicy(const std::u16string& server,
                                          const win::USER_MODALS_INFO_0& passwords,
                                          win::DWORD& parmErr) override;
    win::NET_API_STATUS SetLockoutPolicy(const std::u16string& server,
                                         const win::USER_MODALS_INFO_3& lockout,
                                         win::DWORD& parmErr) override;

    // ---- ISystem -----------------------------------------------------------
    win::BOOL GetVersionExA(win::OSVERSIONINFOA* lpVersionInformation) override;
    win::HANDLE GetCurrentProcess() override;
    bool HasIsWow64Process() override;
    win::BOOL IsWow64Process(win::HANDLE hProcess, win::BOOL* Wow64Process) override;
    win::DWORD GetLastError() override { return lastError_; }
    win::DWORD FormatMessageW(win::DWORD dwFlags, const void* lpSource, win::DWORD dwMessageId,
                              win::DWORD dwLanguageId, win::LPWSTR lpBuffer, win::DWORD nSize,
                              void* Arguments) override;
    win::BOOL GetUserNameW(win::LPWSTR lpBuffer, win::LPDWORD pcbBuffer) override;
    win::BOOL GetComputerNameW(win::LPWSTR lpBuffer, win::LPDWORD nSize) override;
    win::LANGID GetUserDefaultUILanguage() override;
    win::LCID GetThreadLocale() override;
    win::UINT GetACP() override;
    win::BOOL TranslateCharsetInfo(win::DWORD* lpSrc, win::CHARSETINFO* lpCs,
                                   win::DWORD dwFlags) override;
    int GetLocaleInfoW(win::LCID Locale, win::DWORD LCType, win::LPWSTR lpLCData,
                       int cchData) override;
    win::DWORD ExpandEnvironmentStringsW(win::LPCWSTR lpSrc, win::LPWSTR lpDst,
                                         win::DWORD nSize) override;

    // ---- IRegistry ---------------------------------------------------------
    win::LSTATUS RegOpenKeyExW(win::HKEY hKey, win::LPCWSTR lpSubKey, win::DWORD ulOptions,
                               win::REGSAM samDesired, win::HKEY* phkResult) override;
    win::LSTATUS RegCreateKeyExW(win::HKEY hKey, win::LPCWSTR lpSubKey, win::DWORD Reserved,
                                 win::LPWSTR lpClass, win::DWORD dwOptions, win::REGSAM samDesired,
                                 void* lpSecurityAttributes, win::HKEY* phkResult,
                                 win::LPDWORD lpdwDisposition) override;
    win::LSTATUS RegCloseKey(win::HKEY hKey) override;
    win::LSTATUS RegQueryValueExW(win::HKEY hKey, win::LPCWSTR lpValueName, win::LPDWORD lpReserved,
                                  win::LPDWORD lpType, win::LPBYTE lpData,
                                  win::LPDWORD lpcbData) override;
    win::LSTATUS RegSetValueExW(win::HKEY hKey, win::LPCWSTR lpValueName, win::DWORD Reserved,
                                win::DWORD dwType, const win::BYTE* lpData,
                                win::DWORD cbData) override;
    win::LSTATUS RegDeleteValueW(win::HKEY hKey, win::LPCWSTR lpValueName) override;

    // ---- IFileSystem -------------------------------------------------------
    win::DWORD GetFileAttributesW(win::LPCWSTR lpFileName) override;
    bool ReadWholeFile(win::LPCWSTR lpFileName, std::vector<win::BYTE>& bytes) override;

    // ---- IWindowSystem -----------------------------------------------------
    win::DWORD GetSysColor(int nIndex) override;
    int GetSystemMetrics(int nIndex) override;
    win::BOOL SystemParametersInfoW(win::UINT uiAction, win::UINT uiParam, win::PVOID pvParam,
                                    win::UINT fWinIni) override;
    win::HANDLE LoadImageW(win::HINSTANCE hInst, win::LPCWSTR name, win::UINT type, int cx, int cy,
                           win::UINT fuLoad) override;
    win::BOOL DestroyIcon(win::HICON hIcon) override;
    win::LRESULT SendMessageW(win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                              win::LPARAM lParam) override;
    win::LONG_PTR SetWindowLongW(win::HWND hWnd, int nIndex, win::LONG_PTR dwNewLong) override;
    win::LRESULT CallWindowProcW(win::WNDPROC lpPrevWndFunc, win::HWND hWnd, win::UINT Msg,
                                 win::WPARAM wParam, win::LPARAM lParam) override;
    win::HHOOK SetWindowsHookExW(int idHook, win::HOOKPROC lpfn, win::HINSTANCE hmod,
                                 win::DWORD dwThreadId) override;
    win::BOOL UnhookWindowsHookEx(win::HHOOK hhk) override;
    win::LRESULT CallNextHookEx(win::HHOOK hhk, int nCode, win::WPARAM wParam,
                                win::LPARAM lParam) override;
    win::BOOL GetKeyboardState(win::PBYTE lpKeyState) override;
    win::DWORD GetCurrentThreadId() override;
    win::HMODULE GetModuleHandleW(win::LPCWSTR lpModuleName) override;

    // ---- IVisualStyles -----------------------------------------------------
    bool HasUxTheme() override { return machine_.system.themes.library; }
    win::BOOL IsAppThemed() override;
    win::BOOL IsThemeActive() override;
    win::DWORD GetThemeAppProperties() override;
    void SetThemeAppProperties(win::DWORD dwFlags) override;
    win::HTHEME OpenThemeData(win::HWND hwnd, win::LPCWSTR pszClassList) override;
    win::COLORREF GetThemeSysColor(win::HTHEME hTheme, int iColorId) override;
    win::HRESULT CloseThemeData(win::HTHEME hTheme) override;

    // The procedure every window starts with. Called directly it does
    // nothing; through SendMessageW, CallWindowProcW or deliverMessage the
    // simulation runs the default handling (WM_SETICON, WM_UPDATEUISTATE).
    static win::LRESULT TW_CALLBACK DefaultWindowProc(win::HWND hWnd, win::UINT Msg,
                                                      win::WPARAM wParam, win::LPARAM lParam);

private:
    // Network management.
    // The computer a call reaches, after its delay and injected failure;
    // null with `status` set when the call fails there.
    Computer* serveNetCall(const char* function, win::DWORD level, const std::u16string& server,
                           win::NET_API_STATUS& status);
    // What a write that was carried out answers: success, or the status its
    // lost answer turns into (the computer's answerLost rules).
    win::NET_API_STATUS writeAnswer() const { return answerLost_; }
    Account* findAccount(Computer& computer, const std::u16string& name);

    // Registry.
    struct KeyHandle {
        bool hklm = true;
        KeyPath logical;  // as opened, for the log
        KeyPath physical; // where it lies, after the view's redirection
        win::REGSAM access = 0;
        bool predefined = false;
    };
    bool resolveKey(win::HKEY hKey, KeyHandle& handle) const;
    RegKey* keyOf(const KeyHandle& handle);
    bool mayWrite(const KeyHandle& handle, const RegKey& key) const;
    RegKey* writableKey(win::HKEY hKey, win::LSTATUS& status);
    std::string keyText(win::HKEY hKey) const;
    bool injectRegistryFailure(const char* function, win::LSTATUS& status);
    win::LSTATUS openKey(const char* function, win::HKEY hKey, win::LPCWSTR lpSubKey,
                         win::REGSAM samDesired, bool create, win::HKEY* phkResult,
                         win::LPDWORD lpdwDisposition);

    // Files.
    enum class FileKind { Missing, Folder, LanguageFile };
    FileKind fileAt(win::LPCWSTR path) const;

    // Window system.
    struct Window {
        win::WNDPROC proc = nullptr;
        std::uintptr_t smallIcon = 0;
        std::uintptr_t bigIcon = 0;
        win::WORD uiState = 0;
    };
    struct Icon {
        int cx = 0;
        int cy = 0;
    };
    struct Hook {
        std::uintptr_t handle = 0;
        int kind = 0;
        win::HOOKPROC proc = nullptr;
    };
    // One dispatch of an input event to the hooks of one kind: the chain as it
    // stood, newest first, and the hook running now.
    struct HookCall {
        std::vector<win::HOOKPROC> chain;
        std::size_t position = 0;
    };
    Window& windowAt(win::HWND hWnd);
    win::LRESULT runWindowProc(win::WNDPROC proc, win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                               win::LPARAM lParam);
    win::LRESULT defaultWindowProc(win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                                   win::LPARAM lParam);
    std::string describeMessage(win::UINT Msg, win::WPARAM wParam, win::LPARAM lParam) const;
    std::string iconText(std::uintptr_t icon) const;
    win::LRESULT dispatchHooks(int kind, win::WPARAM wParam, win::LPARAM lParam);
    win::LRESULT callHook(std::size_t call, std::size_t position, int code, win::WPARAM wParam,
                          win::LPARAM lParam);
    bool injectWindowFailure(const char* function);
    bool uxThemeCall();

    MachineDescription machine_;
    win::NetApiFront net_{*this};
    std::vector<std::string> registryCalls_;
    // Calls counted for failure injection: "COMPUTER|Function" and
    // "COMPUTER|Function.LEVEL" (computer name folded), "Function" for the registry.
    std::map<std::string, std::uint32_t> netCallCounts_;
    std::map<std::string, std::uint32_t> registryCallCounts_;
    win::NET_API_STATUS answerLost_ = 0; // of the network call under way
    std::map<std::uintptr_t, KeyHandle> keys_;
    std::uintptr_t nextKey_ = 0x100;
    win::DWORD lastError_ = 0;

    // Window system and visual styles.
    std::map<std::uintptr_t, Window> windows_;
    std::map<std::uintptr_t, Icon> icons_;
    std::uintptr_t nextIcon_ = 0x10000;
    std::vector<Hook> hooks_; // in installation order
    std::uintptr_t nextHook_ = 0x20000;
    std::vector<HookCall> hookCalls_;
    std::array<win::BYTE, 256> keyState_{};
    win::POINT cursor_{0, 0};
    std::vector<std::string> windowMessages_;
    std::map<std::string, std::uint32_t> windowCallCounts_;
    std::set<std::uintptr_t> themes_; // open theme handles
    std::uintptr_t nextTheme_ = 0x30000;
    std::size_t missingLibraryCalls_ = 0;
};

} // namespace tw::sim
