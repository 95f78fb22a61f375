#include "Win32ScenarioToolkit.h"

#include "toolkit/VirtualClock.h"
#include "toolkit/win32/Win32Backend.h"
#include "toolkit/win32/Win32Input.h"

#include "platform/win32/WinHeaders.h"

#include <oleacc.h>

#include <stdexcept>

namespace tw::scenario {

namespace {

class Win32Toolkit : public ScenarioToolkit {
public:
    void Attach(app::FUserInfo& window, toolkit::Application&,
                const std::u16string& longDatePicture) override {
        toolkit::Win32BackendOptions options;
        options.virtualTime = true;
        // One window after another in this thread: a closed one must not end
        // the message loop of the next.
        options.quitOnClose = false;
        options.longDatePicture = longDatePicture;
        options.interactiveMessageBoxes = false;
        backend_ = std::make_unique<toolkit::Win32Backend>(window.Form(), options);
        input_ = std::make_unique<toolkit::Win32Input>(*backend_);
    }
    toolkit::IUserInput& Input() override { return *input_; }
    // The real window hears of it too: the backend forgets its brushes and repaints.
    void SystemMessage(unsigned message) override {
        if (HWND__* hwnd = backend_->Handle()) {
            ::SendMessageW(hwnd, message, 0, 0);
            backend_->PumpMessages();
        }
    }
    std::u16string AccessibleName(const toolkit::Control& control) override {
        return FromAccessibleObject(control, &IAccessible::get_accName);
    }
    std::u16string AccessibleDescription(const toolkit::Control& control) override {
        return FromAccessibleObject(control, &IAccessible::get_accDescription);
    }

private:
    using AccessibleText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

    // Read from the window's accessible object, as a screen reader would:
    // the object the window hands out for its client area, asked about itself.
    std::u16string FromAccessibleObject(const toolkit::Control& control, AccessibleText read) {
        const HWND hwnd = backend_->HandleOf(control);
        IAccessible* accessible = nullptr;
        if (hwnd == nullptr ||
            FAILED(::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                                __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&accessible))) ||
            accessible == nullptr)
            throw std::runtime_error("no accessible object for " + control.Name());
        VARIANT self;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        const HRESULT hr = (accessible->*read)(self, &text);
        accessible->Release();
        std::u16string result;
        if (SUCCEEDED(hr) && text != nullptr)
            result.assign(reinterpret_cast<const char16_t*>(text), ::SysStringLen(text));
        ::SysFreeString(text);
        return result;
    }

    std::unique_ptr<toolkit::Win32Backend> backend_;
    std::unique_ptr<toolkit::Win32Input> input_;
};

} // namespace

std::unique_ptr<ScenarioToolkit> MakeWin32Toolkit() {
    return std::make_unique<Win32Toolkit>();
}

} // namespace tw::scenario
