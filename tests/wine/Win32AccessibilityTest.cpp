// What the Win32 window tells assistive technology, read as a screen reader
// reads it: each control's accessible object (AccessibleObjectFromWindow)
// with the model's name and description, the spinner's images as push
// buttons that a press through the object clicks, labels directly in front
// of the fields they name (the system's own lookup of a field's name), and
// the status line's changes as name-change events.
// The program's headers before <windows.h>, whose macros would take their names.
#include "controls/ucPlusMinus.h"

#include "ProgramWindow.h"

#include <oleacc.h>

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

VARIANT Self() {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

// The accessible object a screen reader gets for the window's client area,
// or the one the system itself makes for the window (what ours passes on).
class Accessible {
public:
    explicit Accessible(HWND hwnd, bool systems = false) {
        IAccessible* object = nullptr;
        if (SUCCEEDED(systems
                          ? ::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                                        reinterpret_cast<void**>(&object))
                          : ::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                                         __uuidof(IAccessible),
                                                         reinterpret_cast<void**>(&object))))
            object_.reset(object);
    }

    bool Found() const { return object_ != nullptr; }
    std::u16string Name() const { return Read(&IAccessible::get_accName); }
    std::u16string DefaultAction() const { return Read(&IAccessible::get_accDefaultAction); }
    long Role() const {
        VARIANT role{}; // VT_EMPTY
        if (!object_ || FAILED(object_->get_accRole(Self(), &role)) || role.vt != VT_I4)
            return -1;
        return role.lVal;
    }
    HRESULT Press() const { return object_ ? object_->accDoDefaultAction(Self()) : E_POINTER; }

private:
    using Text = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    std::u16string Read(Text read) const {
        BSTR text = nullptr;
        if (!object_ || FAILED((object_.get()->*read)(Self(), &text)) || text == nullptr)
            return {};
        std::u16string result(reinterpret_cast<const char16_t*>(text), ::SysStringLen(text));
        ::SysFreeString(text);
        return result;
    }

    struct Release {
        void operator()(IAccessible* object) const { object->Release(); }
    };
    std::unique_ptr<IAccessible, Release> object_;
};

// The names and descriptions a screen reader reads from these objects are
// the program's window's: accessibility/english.json and german.json on Win32.
using Win32Accessibility = Win32WindowTest;

TEST_F(Win32Accessibility, EachControlHasTheRoleTheSystemGivesIt) {
    for (const Control* control : std::initializer_list<const Control*>{
             &t.txtPasswordAge, &t.cbUsername, &t.chkDisabled, &t.cmdSet}) {
        const Accessible accessible(H(*control));
        ASSERT_TRUE(accessible.Found()) << control->Name();
        EXPECT_EQ(accessible.Role(), Accessible(H(*control), true).Role()) << control->Name();
    }
}

TEST_F(Win32Accessibility, ANameIsReadWhenAskedFor) {
    const Accessible accessible(H(t.cmdSet));
    ASSERT_TRUE(accessible.Found());
    t.cmdSet.SetAccessibleName(u"Setzen");
    EXPECT_EQ(accessible.Name(), u"Setzen");
}

TEST_F(Win32Accessibility, TheImagesArePushButtonsThatAPressClicksOnce) {
    t.LinkSpinner();
    w->Settle();
    for (const Image* image : {&t.ctlPlusMinus.imgMinus, &t.ctlPlusMinus.imgPlus}) {
        SCOPED_TRACE(image->Name());
        t.events.clear();
        const Accessible accessible(H(*image));
        ASSERT_TRUE(accessible.Found());
        EXPECT_EQ(accessible.Role(), ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(accessible.DefaultAction(), u"Press");
        EXPECT_EQ(accessible.Press(), S_OK);
        w->Settle();
        EXPECT_EQ(t.events, (std::vector<std::string>{image->Name() + "_MouseDown 1",
                                                      image->Name() + "_MouseUp 1"}));
        EXPECT_EQ(::GetCapture(), nullptr) << "the press lets the mouse go";
    }
}

TEST_F(Win32Accessibility, ALabelStandsDirectlyInFrontOfItsFieldAlsoWhenTheLabelChanges) {
    t.txtPasswordAge.SetLabelledBy(&t.lblPasswordAge);
    t.cbUsername.SetLabelledBy(&t.lblUsername);
    EXPECT_EQ(::GetWindow(H(t.txtPasswordAge), GW_HWNDPREV), H(t.lblPasswordAge));
    EXPECT_EQ(::GetWindow(H(t.cbUsername), GW_HWNDPREV), H(t.lblUsername));
    t.txtPasswordAge.SetLabelledBy(&t.lblPasswordAge_u);
    EXPECT_EQ(::GetWindow(H(t.txtPasswordAge), GW_HWNDPREV), H(t.lblPasswordAge_u));
    t.ctlPlusMinus.ZOrder(1); // any restack keeps it
    EXPECT_EQ(::GetWindow(H(t.txtPasswordAge), GW_HWNDPREV), H(t.lblPasswordAge_u));
    EXPECT_EQ(::GetWindow(H(t.cbUsername), GW_HWNDPREV), H(t.lblUsername));
}

// Name changes seen by an out-of-context event hook, as a screen reader sees them.
std::vector<std::pair<HWND, std::pair<LONG, LONG>>>* g_nameChanges = nullptr;

void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                           DWORD) {
    if (g_nameChanges != nullptr && event == EVENT_OBJECT_NAMECHANGE)
        g_nameChanges->push_back({hwnd, {object, child}});
}

TEST_F(Win32Accessibility, TheStatusLineAnnouncesEachNewTextAndOtherLabelsDoNot) {
    std::vector<std::pair<HWND, std::pair<LONG, LONG>>> changes;
    g_nameChanges = &changes;
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &OnNameChange,
                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    t.lblStatus.SetUseMnemonic(false);
    t.lblStatus.SetLive(true);
    auto statusChanges = [&] {
        w->Settle();
        int count = 0;
        for (const auto& [hwnd, what] : changes) {
            if (hwnd == H(t.lblStatus) && what.first == OBJID_CLIENT && what.second == CHILDID_SELF)
                ++count;
        }
        return count;
    };
    t.lblStatus.SetCaption(u"Wait...");
    EXPECT_EQ(statusChanges(), 1);
    t.lblStatus.SetCaption(u"The user name could not be found.");
    EXPECT_EQ(statusChanges(), 2);
    t.lblUsername.SetCaption(u"User:");
    t.lblStatus.SetLive(false);
    t.lblStatus.SetCaption(u"quiet");
    EXPECT_EQ(statusChanges(), 2);
    for (const auto& change : changes)
        EXPECT_NE(change.first, H(t.lblUsername)) << "a label that is not live";
    ::UnhookWinEvent(hook);
    g_nameChanges = nullptr;
}

// The program's own window: every field a label names has it directly in front.
TEST(Win32AccessibleWindow, EveryLabelledFieldHasItsLabelDirectlyInFront) {
    ProgramWindow program(R"({"system": {"userName": "alice"},
                              "computers": {"WS01": {"accounts": [{"name": "alice"}]}}})");
    int labelled = 0;
    for (const auto& control : program.window.Form().Controls()) {
        const Control* label = control->LabelledBy();
        if (label == nullptr || label->Kind() != ControlKind::Label)
            continue;
        ++labelled;
        EXPECT_EQ(::GetWindow(program.H(*control), GW_HWNDPREV), program.H(*label))
            << control->Name() << " after " << label->Name();
    }
    EXPECT_GE(labelled, 13) << "every field but the server's has a label";
}

} // namespace
} // namespace tw::winetests
