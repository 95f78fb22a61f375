#include "WinPlatform.h"

#include "platform/SmallFile.h"

#include <cstdint>

#include "WinHeaders.h"

namespace tw::win32 {

namespace w = tw::win;

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is handed to Windows as it is");

// The program's DWORD is uint32_t; the SDK's is unsigned long. Same size and
// representation on Windows, different types to the compiler.
::DWORD* Sdk(w::DWORD* p) {
    return reinterpret_cast<::DWORD*>(p);
}
const wchar_t* Sdk(const char16_t* p) {
    return reinterpret_cast<const wchar_t*>(p);
}
wchar_t* Sdk(char16_t* p) {
    return reinterpret_cast<wchar_t*>(p);
}
::HKEY Sdk(w::HKEY key) {
    return reinterpret_cast<::HKEY>(key);
}
::HKEY* Sdk(w::HKEY* key) {
    return reinterpret_cast<::HKEY*>(key);
}

using IsWow64ProcessFn = ::BOOL(WINAPI*)(::HANDLE, ::PBOOL);

} // namespace

WinPlatform::WinPlatform() : platform_{*this, *this, *this, *this, windowSystem_, visualStyles_} {
    if (::HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll")) {
        // Through void(*)() so that the compiler accepts the cast of one
        // function type to another.
        isWow64Process_ = reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "IsWow64Process"));
    }
}

// --- netapi32 ---

w::NET_API_STATUS WinPlatform::NetUserEnum(w::LPCWSTR servername, w::DWORD level, w::DWORD filter,
                                           w::LPBYTE* bufptr, w::DWORD prefmaxlen,
                                           w::LPDWORD entriesread, w::LPDWORD totalentries,
                                           w::PDWORD resume_handle) {
    return ::NetUserEnum(Sdk(servername), level, filter, bufptr, prefmaxlen, Sdk(entriesread),
                         Sdk(totalentries), Sdk(resume_handle));
}

w::NET_API_STATUS WinPlatform::NetUserGetInfo(w::LPCWSTR servername, w::LPCWSTR username,
                                              w::DWORD level, w::LPBYTE* bufptr) {
    return ::NetUserGetInfo(Sdk(servername), Sdk(username), level, bufptr);
}

w::NET_API_STATUS WinPlatform::NetUserSetInfo(w::LPCWSTR servername, w::LPCWSTR username,
                                              w::DWORD level, w::LPBYTE buf, w::LPDWORD parm_err) {
    return ::NetUserSetInfo(Sdk(servername), Sdk(username), level, buf, Sdk(parm_err));
}

w::NET_API_STATUS WinPlatform::NetUserModalsGet(w::LPCWSTR servername, w::DWORD level,
                                                w::LPBYTE* bufptr) {
    return ::NetUserModalsGet(Sdk(servername), level, bufptr);
}

w::NET_API_STATUS WinPlatform::NetUserModalsSet(w::LPCWSTR servername, w::DWORD level,
                                                w::LPBYTE buf, w::LPDWORD parm_err) {
    return ::NetUserModalsSet(Sdk(servername), level, buf, Sdk(parm_err));
}

w::NET_API_STATUS WinPlatform::NetApiBufferFree(w::LPVOID Buffer) {
    return ::NetApiBufferFree(Buffer);
}

// --- kernel32, advapi32, gdi32 ---

w::BOOL WinPlatform::GetVersionExA(w::OSVERSIONINFOA* lpVersionInformation) {
#ifdef _MSC_VER
#pragma warning(suppress : 4996) // deprecated, and still what the platform check asks
#endif
    return ::GetVersionExA(reinterpret_cast<::OSVERSIONINFOA*>(lpVersionInformation));
}

w::HANDLE WinPlatform::GetCurrentProcess() {
    return ::GetCurrentProcess();
}

bool WinPlatform::HasIsWow64Process() {
    return isWow64Process_ != nullptr;
}

w::BOOL WinPlatform::IsWow64Process(w::HANDLE hProcess, w::BOOL* Wow64Process) {
    if (isWow64Process_ == nullptr) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    return reinterpret_cast<IsWow64ProcessFn>(isWow64Process_)(hProcess, Wow64Process);
}

w::DWORD WinPlatform::GetLastError() {
    return ::GetLastError();
}

w::DWORD WinPlatform::FormatMessageW(w::DWORD dwFlags, const void* lpSource, w::DWORD dwMessageId,
                                     w::DWORD dwLanguageId, w::LPWSTR lpBuffer, w::DWORD nSize,
                                     void* Arguments) {
    return ::FormatMessageW(dwFlags, lpSource, dwMessageId, dwLanguageId, Sdk(lpBuffer), nSize,
                            static_cast<va_list*>(Arguments));
}

w::BOOL WinPlatform::GetUserNameW(w::LPWSTR lpBuffer, w::LPDWORD pcbBuffer) {
    return ::GetUserNameW(Sdk(lpBuffer), Sdk(pcbBuffer));
}

w::BOOL WinPlatform::GetComputerNameW(w::LPWSTR lpBuffer, w::LPDWORD nSize) {
    return ::GetComputerNameW(Sdk(lpBuffer), Sdk(nSize));
}

w::LANGID WinPlatform::GetUserDefaultUILanguage() {
    return ::GetUserDefaultUILanguage();
}

w::LCID WinPlatform::GetThreadLocale() {
    return ::GetThreadLocale();
}

w::UINT WinPlatform::GetACP() {
    return ::GetACP();
}

w::BOOL WinPlatform::TranslateCharsetInfo(w::DWORD* lpSrc, w::CHARSETINFO* lpCs, w::DWORD dwFlags) {
    return ::TranslateCharsetInfo(Sdk(lpSrc), reinterpret_cast<::CHARSETINFO*>(lpCs), dwFlags);
}

int WinPlatform::GetLocaleInfoW(w::LCID Locale, w::DWORD LCType, w::LPWSTR lpLCData, int cchData) {
    return ::GetLocaleInfoW(Locale, LCType, Sdk(lpLCData), cchData);
}

w::DWORD WinPlatform::ExpandEnvironmentStringsW(w::LPCWSTR lpSrc, w::LPWSTR lpDst, w::DWORD nSize) {
    return ::ExpandEnvironmentStringsW(Sdk(lpSrc), Sdk(lpDst), nSize);
}

// --- advapi32: registry ---

w::LSTATUS WinPlatform::RegOpenKeyExW(w::HKEY hKey, w::LPCWSTR lpSubKey, w::DWORD ulOptions,
                                      w::REGSAM samDesired, w::HKEY* phkResult) {
    return ::RegOpenKeyExW(Sdk(hKey), Sdk(lpSubKey), ulOptions, samDesired, Sdk(phkResult));
}

w::LSTATUS WinPlatform::RegCreateKeyExW(w::HKEY hKey, w::LPCWSTR lpSubKey, w::DWORD Reserved,
                                        w::LPWSTR lpClass, w::DWORD dwOptions, w::REGSAM samDesired,
                                        void* lpSecurityAttributes, w::HKEY* phkResult,
                                        w::LPDWORD lpdwDisposition) {
    return ::RegCreateKeyExW(Sdk(hKey), Sdk(lpSubKey), Reserved, Sdk(lpClass), dwOptions,
                             samDesired, static_cast<::LPSECURITY_ATTRIBUTES>(lpSecurityAttributes),
                             Sdk(phkResult), Sdk(lpdwDisposition));
}

w::LSTATUS WinPlatform::RegCloseKey(w::HKEY hKey) {
    return ::RegCloseKey(Sdk(hKey));
}

w::LSTATUS WinPlatform::RegQueryValueExW(w::HKEY hKey, w::LPCWSTR lpValueName,
                                         w::LPDWORD lpReserved, w::LPDWORD lpType, w::LPBYTE lpData,
                                         w::LPDWORD lpcbData) {
    return ::RegQueryValueExW(Sdk(hKey), Sdk(lpValueName), Sdk(lpReserved), Sdk(lpType), lpData,
                              Sdk(lpcbData));
}

w::LSTATUS WinPlatform::RegSetValueExW(w::HKEY hKey, w::LPCWSTR lpValueName, w::DWORD Reserved,
                                       w::DWORD dwType, const w::BYTE* lpData, w::DWORD cbData) {
    return ::RegSetValueExW(Sdk(hKey), Sdk(lpValueName), Reserved, dwType, lpData, cbData);
}

w::LSTATUS WinPlatform::RegDeleteValueW(w::HKEY hKey, w::LPCWSTR lpValueName) {
    return ::RegDeleteValueW(Sdk(hKey), Sdk(lpValueName));
}

// --- kernel32: files ---

w::DWORD WinPlatform::GetFileAttributesW(w::LPCWSTR lpFileName) {
    return ::GetFileAttributesW(Sdk(lpFileName));
}

bool WinPlatform::ReadWholeFile(w::LPCWSTR lpFileName, std::vector<w::BYTE>& bytes) {
    const ::HANDLE file = ::CreateFileW(Sdk(lpFileName), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = false;
    ::LARGE_INTEGER size{};
    // The language file is a small file on a disk: never a pipe or a device,
    // nor anything past the limit of every file the program reads whole.
    if (::GetFileType(file) == FILE_TYPE_DISK && ::GetFileSizeEx(file, &size) &&
        size.QuadPart >= 0 && static_cast<std::uint64_t>(size.QuadPart) <= w::kSmallFileLimit) {
        std::vector<w::BYTE> data(static_cast<std::size_t>(size.QuadPart));
        ::DWORD read = 0;
        ok = data.empty() ||
             (::ReadFile(file, data.data(), static_cast<::DWORD>(data.size()), &read, nullptr) &&
              read == data.size());
        if (ok)
            bytes = std::move(data);
    }
    ::CloseHandle(file);
    return ok;
}

} // namespace tw::win32
