#include "WinVisualStyles.h"

#include "WinHeaders.h"

#include <memory>
#include <string>

namespace tw::win32 {

namespace w = tw::win;

struct WinVisualStyles::Functions {
    ::BOOL(WINAPI* isAppThemed)();
    ::BOOL(WINAPI* isThemeActive)();
    ::DWORD(WINAPI* getThemeAppProperties)();
    void(WINAPI* setThemeAppProperties)(::DWORD);
    ::HANDLE(WINAPI* openThemeData)(::HWND, LPCWSTR);
    ::COLORREF(WINAPI* getThemeSysColor)(::HANDLE, int);
    ::HRESULT(WINAPI* closeThemeData)(::HANDLE);
};

namespace {

// Through void(*)() so that the compiler accepts the cast of one function
// type to another.
template <typename Function> bool Look(::HMODULE library, const char* name, Function& function) {
    function =
        reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
    return function != nullptr;
}

// uxtheme.dll from the system folder only, never one planted beside the program.
::HMODULE LoadFromSystemFolder(const wchar_t* file) {
    wchar_t folder[MAX_PATH] = {};
    const ::UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + file;
    return ::LoadLibraryW(path.c_str());
}

} // namespace

WinVisualStyles::WinVisualStyles() {
    const ::HMODULE library = LoadFromSystemFolder(L"uxtheme.dll");
    if (library == nullptr)
        return;
    library_ = library;
    auto functions = std::make_unique<Functions>();
    if (Look(library, "IsAppThemed", functions->isAppThemed) &&
        Look(library, "IsThemeActive", functions->isThemeActive) &&
        Look(library, "GetThemeAppProperties", functions->getThemeAppProperties) &&
        Look(library, "SetThemeAppProperties", functions->setThemeAppProperties) &&
        Look(library, "OpenThemeData", functions->openThemeData) &&
        Look(library, "GetThemeSysColor", functions->getThemeSysColor) &&
        Look(library, "CloseThemeData", functions->closeThemeData))
        functions_ = std::move(functions);
}

WinVisualStyles::~WinVisualStyles() {
    if (library_ != nullptr)
        ::FreeLibrary(static_cast<::HMODULE>(library_));
}

bool WinVisualStyles::HasUxTheme() {
    return functions_ != nullptr;
}

bool WinVisualStyles::Available() {
    if (functions_ != nullptr)
        return true;
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return false;
}

w::BOOL WinVisualStyles::IsAppThemed() {
    return Available() ? functions_->isAppThemed() : FALSE;
}

w::BOOL WinVisualStyles::IsThemeActive() {
    return Available() ? functions_->isThemeActive() : FALSE;
}

w::DWORD WinVisualStyles::GetThemeAppProperties() {
    return Available() ? functions_->getThemeAppProperties() : 0;
}

void WinVisualStyles::SetThemeAppProperties(w::DWORD dwFlags) {
    if (Available())
        functions_->setThemeAppProperties(dwFlags);
}

w::HTHEME WinVisualStyles::OpenThemeData(w::HWND hwnd, w::LPCWSTR pszClassList) {
    if (!Available())
        return nullptr;
    return functions_->openThemeData(reinterpret_cast<::HWND>(hwnd),
                                     reinterpret_cast<LPCWSTR>(pszClassList));
}

w::COLORREF WinVisualStyles::GetThemeSysColor(w::HTHEME hTheme, int iColorId) {
    return Available() ? functions_->getThemeSysColor(hTheme, iColorId) : 0;
}

w::HRESULT WinVisualStyles::CloseThemeData(w::HTHEME hTheme) {
    return Available() ? functions_->closeThemeData(hTheme) : E_HANDLE;
}

} // namespace tw::win32
