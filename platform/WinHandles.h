// Windows integer and handle types as the program's logic sees them. Only
// types here, no constants: this header may be read after <windows.h>, where
// many constant names are macros (those live in WinTypes.h).
#pragma once

#include <cstdint>

// Callbacks that Windows calls (window and hook procedures) use the Windows
// calling convention, which differs from the C one only on 32-bit x86.
#if defined(_WIN32) && !defined(_WIN64)
#define TW_CALLBACK __stdcall
#else
#define TW_CALLBACK
#endif

namespace tw::win {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using UINT = unsigned int;
using HRESULT = LONG;
using COLORREF = DWORD;
using WCHAR = char16_t;
using CHAR = char;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPBYTE = BYTE*;
using PBYTE = BYTE*;
using LPDWORD = DWORD*;
using PDWORD = DWORD*;
using LPVOID = void*;
using PVOID = void*;
using HANDLE = void*;

// Pointer-sized integers: message parameters and results, window data.
using ULONG_PTR = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;

struct HWND__;
using HWND = HWND__*;
struct HICON__;
using HICON = HICON__*;
struct HHOOK__;
using HHOOK = HHOOK__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
// A theme handle of uxtheme.
using HTHEME = HANDLE;

// A window procedure and a hook procedure.
using WNDPROC = LRESULT(TW_CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using HOOKPROC = LRESULT(TW_CALLBACK*)(int, WPARAM, LPARAM);

} // namespace tw::win
