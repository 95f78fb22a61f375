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
// - the language file in the executable's folder.
//
// The platform functions never throw. Only the scenario-runner functions
// applyPatch and query throw MachineError, for a bad patch or path.
#pragma once

#include "BufferPool.h"
#include "MachineDescription.h"
#include "RegistryTree.h"

#include "platform/Platform.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tw::sim {

class SimPlatform final : public win::INetApi,
                          public win::ISystem,
                          public win::IRegistry,
                          public win::IFileSystem {
public:
    explicit SimPlatform(MachineDescription machine = {});
    ~SimPlatform() override;
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    // The four interfaces as one bundle, valid while this object lives.
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

    // Network-management calls, all but NetApiBufferFree, in order:
    // "NetUserModalsGet.0 \\SRV01" (function, '.', level, ' ', the server
    // argument as passed or "-" for none), also calls to unknown servers.
    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Buffers handed out and not yet freed; frees of anything else.
    std::size_t outstandingBuffers() const { return buffers_.outstanding(); }
    std::size_t badFrees() const { return buffers_.badFrees(); }

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

    // ---- INetApi -----------------------------------------------------------
    win::NET_API_STATUS NetUserEnum(win::LPCWSTR servername, win::DWORD level, win::DWORD filter,
                                    win::LPBYTE* bufptr, win::DWORD prefmaxlen,
                                    win::LPDWORD entriesread, win::LPDWORD totalentries,
                                    win::PDWORD resume_handle) override;
    win::NET_API_STATUS NetUserGetInfo(win::LPCWSTR servername, win::LPCWSTR username,
                                       win::DWORD level, win::LPBYTE* bufptr) override;
    win::NET_API_STATUS NetUserSetInfo(win::LPCWSTR servername, win::LPCWSTR username,
                                       win::DWORD level, win::LPBYTE buf,
                                       win::LPDWORD parm_err) override;
    win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR servername, win::DWORD level,
                                         win::LPBYTE* bufptr) override;
    win::NET_API_STATUS NetUserModalsSet(win::LPCWSTR servername, win::DWORD level,
                                         win::LPBYTE buf, win::LPDWORD parm_err) override;
    win::NET_API_STATUS NetApiBufferFree(win::LPVOID Buffer) override;

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
                                 win::LPWSTR lpClass, win::DWORD dwOptions,
                                 win::REGSAM samDesired, void* lpSecurityAttributes,
                                 win::HKEY* phkResult, win::LPDWORD lpdwDisposition) override;
    win::LSTATUS RegCloseKey(win::HKEY hKey) override;
    win::LSTATUS RegQueryValueExW(win::HKEY hKey, win::LPCWSTR lpValueName,
                                  win::LPDWORD lpReserved, win::LPDWORD lpType,
                                  win::LPBYTE lpData, win::LPDWORD lpcbData) override;
    win::LSTATUS RegSetValueExW(win::HKEY hKey, win::LPCWSTR lpValueName, win::DWORD Reserved,
                                win::DWORD dwType, const win::BYTE* lpData,
                                win::DWORD cbData) override;
    win::LSTATUS RegDeleteValueW(win::HKEY hKey, win::LPCWSTR lpValueName) override;

    // ---- IFileSystem -------------------------------------------------------
    win::DWORD GetFileAttributesW(win::LPCWSTR lpFileName) override;
    bool ReadWholeFile(win::LPCWSTR lpFileName, std::vector<win::BYTE>& bytes) override;

private:
    // Network management.
    Computer* beginNetCall(const char* function, win::DWORD level, win::LPCWSTR server,
                           win::NET_API_STATUS& status);
    Account* findAccount(Computer& computer, win::LPCWSTR name);
    const std::vector<std::uint32_t>& listedAccounts(const Computer& computer, win::DWORD filter);

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
    std::string keyText(win::HKEY hKey) const;
    bool injectRegistryFailure(const char* function, win::LSTATUS& status);
    win::LSTATUS openKey(const char* function, win::HKEY hKey, win::LPCWSTR lpSubKey,
                         win::REGSAM samDesired, bool create, win::HKEY* phkResult,
                         win::LPDWORD lpdwDisposition);

    // Files.
    enum class FileKind { None, Folder, LanguageFile };
    FileKind fileAt(win::LPCWSTR path) const;

    MachineDescription machine_;
    BufferPool buffers_;
    std::vector<std::string> calls_;
    std::vector<std::string> registryCalls_;
    // Calls counted for failure injection: "COMPUTER|Function" and
    // "COMPUTER|Function.LEVEL" (computer name folded), "Function" for the registry.
    std::map<std::string, std::uint32_t> netCallCounts_;
    std::map<std::string, std::uint32_t> registryCallCounts_;
    std::map<std::uintptr_t, KeyHandle> keys_;
    std::uintptr_t nextKey_ = 0x100;
    win::DWORD lastError_ = 0;

    // Which accounts an enumeration lists, kept while the accounts do not
    // change, so that a whole enumeration costs time linear in their number.
    struct EnumList {
        std::uint64_t version = 0;
        win::DWORD filter = 0;
        std::vector<std::uint32_t> indices;
    };
    std::map<std::u16string, EnumList> enumLists_;
    std::uint64_t accountsVersion_ = 1;
};

} // namespace tw::sim
