// The accessible object of a control's window: the system's standard object
// for the window answers everything, except what the model knows better of
// the control itself (CHILDID_SELF): its name, its description, and for an
// image the role, default action and press of a push button.
#include "Win32Accessible.h"

#include "Win32Convert.h"
#include "Win32Impl.h"

#include <oleacc.h>

#include <atomic>

namespace tw::toolkit {

namespace {

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT Text(const std::wstring& text, BSTR* out) {
    if (out == nullptr)
        return E_INVALIDARG;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

class ControlAccessible final : public IAccessible, public IOleWindow {
public:
    ControlAccessible(HWND hwnd, IAccessible* standard) : hwnd_(hwnd), standard_(standard) {}
    ControlAccessible(const ControlAccessible&) = delete;
    ControlAccessible& operator=(const ControlAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
            riid == __uuidof(IAccessible))
            *out = static_cast<IAccessible*>(this);
        else if (riid == __uuidof(IOleWindow))
            *out = static_cast<IOleWindow*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IOleWindow: the window this object stands for.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = hwnd_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(riid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return standard_->Invoke(id, riid, lcid, flags, params, result, exception, argument);
    }

    // IAccessible: the model's answers for the control itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        AccessibleFacts facts;
        if (IsSelf(child) && AccessibleFactsOf(hwnd_, facts) && !facts.name.empty())
            return Text(facts.name, name);
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        AccessibleFacts facts;
        if (IsSelf(child) && AccessibleFactsOf(hwnd_, facts) && !facts.description.empty())
            return Text(facts.description, description);
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (IsSelf(child) && IsButton()) {
            if (role == nullptr)
                return E_INVALIDARG;
            role->vt = VT_I4;
            role->lVal = ROLE_SYSTEM_PUSHBUTTON;
            return S_OK;
        }
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (IsSelf(child) && IsButton())
            return Text(L"Press", action);
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (IsSelf(child) && IsButton())
            return PressAccessible(hwnd_) ? S_OK : E_FAIL;
        return standard_->accDoDefaultAction(child);
    }

    // IAccessible: the rest is the standard object's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~ControlAccessible() { standard_->Release(); }

    bool IsButton() const {
        AccessibleFacts facts;
        return AccessibleFactsOf(hwnd_, facts) && facts.button;
    }

    HWND hwnd_;
    IAccessible* standard_;
    std::atomic<ULONG> references_{1};
};

} // namespace

ComApartment::ComApartment() {
    // S_FALSE (the thread had it already) is entered too and must be left.
    entered_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

ComApartment::~ComApartment() {
    if (entered_)
        ::CoUninitialize();
}

bool AnswerGetObject(HWND hwnd, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (static_cast<DWORD>(lp) != static_cast<DWORD>(OBJID_CLIENT))
        return false;
    IAccessible* standard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&standard))) ||
        standard == nullptr)
        return false;
    auto* accessible = new ControlAccessible(hwnd, standard);
    // The result holds its own reference to the object (or none, on failure).
    result = ::LresultFromObject(__uuidof(IAccessible), wp, static_cast<IAccessible*>(accessible));
    accessible->Release();
    return true;
}

// --- the backend's side ---

ControlWindow* Win32Backend::Impl::RecordOf(HWND hwnd) {
    // Through the backend of the top-level window, while both live: a
    // window gone is no longer among its handles.
    const HWND form = ::GetAncestor(hwnd, GA_ROOT);
    if (form == nullptr ||
        ::GetWindowLongPtrW(form, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&WindowProc))
        return nullptr;
    const auto* formWindow =
        reinterpret_cast<const ControlWindow*>(::GetWindowLongPtrW(form, GWLP_USERDATA));
    return formWindow != nullptr && formWindow->impl != nullptr ? formWindow->impl->WindowOf(hwnd)
                                                                : nullptr;
}

void Win32Backend::Impl::PressImage(ControlWindow& cw) {
    // A left click at the image's centre, press and release, as the mouse gives it.
    RECT r{};
    ::GetClientRect(cw.hwnd, &r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    OnImageDown(cw, vbLeftButton);
    OnImageUp(cw, vbLeftButton, centre);
}

// The model's label of each control that names one (of the same container):
// directly in front of its control, so the system's own lookup of a field's
// name (the static control before it) finds it too. The design keeps such
// labels clear of their controls, so nothing paints over a field.
void Win32Backend::Impl::PlaceLabels(const UserControl* container) {
    for (const Control* control : form_.StackingOrder(container)) {
        const Control* label = control->LabelledBy();
        if (label == nullptr || label->Kind() != ControlKind::Label ||
            label->Container() != container)
            continue;
        const HWND field = HandleOf(*control), named = HandleOf(*label);
        if (field == nullptr || named == nullptr)
            continue;
        const HWND before = ::GetWindow(field, GW_HWNDPREV);
        if (before == named)
            continue;
        ::SetWindowPos(named, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void Win32Backend::Impl::MirrorAccessibility(ControlWindow& cw) {
    // Names and descriptions are read when asked for (WM_GETOBJECT); a new
    // label for the control changes the stacking. A first label only moves
    // in front of it (the window starts this way, a label per field); one
    // that names it no more goes back to its place in the model's order.
    const Control* before = cw.labelledBy;
    if (before == cw.control->LabelledBy())
        return;
    cw.labelledBy = cw.control->LabelledBy();
    if (before == nullptr)
        PlaceLabels(cw.control->Container());
    else
        Restack(cw.control->Container());
}

void Win32Backend::Impl::AnnounceCaption(ControlWindow& cw) {
    if (cw.control->Kind() == ControlKind::Label && static_cast<const Label&>(*cw.control).Live())
        ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, cw.hwnd, OBJID_CLIENT, CHILDID_SELF);
}

namespace {

// The record of the control that `hwnd` shows, while both live; else null.
ControlWindow* ControlRecordOf(HWND hwnd) {
    ControlWindow* cw = ::IsWindow(hwnd) ? Win32Backend::Impl::RecordOf(hwnd) : nullptr;
    return cw != nullptr && cw->control != nullptr && cw->hwnd == hwnd ? cw : nullptr;
}

} // namespace

bool AccessibleFactsOf(HWND hwnd, AccessibleFacts& facts) {
    const ControlWindow* cw = ControlRecordOf(hwnd);
    if (cw == nullptr)
        return false;
    facts.name = win32text::Wide(cw->control->AccessibleName());
    facts.description = win32text::Wide(cw->control->AccessibleDescription());
    facts.button = cw->control->Kind() == ControlKind::Image;
    return true;
}

bool PressAccessible(HWND hwnd) {
    ControlWindow* cw = ControlRecordOf(hwnd);
    if (cw == nullptr || cw->control->Kind() != ControlKind::Image)
        return false;
    cw->impl->PressImage(*cw);
    return true;
}

} // namespace tw::toolkit
