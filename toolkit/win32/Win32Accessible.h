// What the Win32 window tells assistive technology. Each control's window
// answers WM_GETOBJECT with an accessible object of its own that wraps the
// system's standard one: the model's accessible name and description, and
// the images (the spinner's) as push buttons a screen reader can press.
// Only the toolkit/win32 sources include this header.
#pragma once

#include "Win32Windows.h"

#include <string>

namespace tw::toolkit {

// COM on the window's thread, which handing out accessible objects needs:
// an apartment-threaded one, left again only if this object entered it.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_ = false;
};

// What a control's accessible object needs to know of the window. Looked up
// again at every call through the window's handle, so an object a client
// still holds after the window is gone finds nothing and says so.
struct AccessibleFacts {
    std::wstring name;
    std::wstring description;
    // An image: a push button whose default action is a left click.
    bool button = false;
};

// Implemented by the backend (Win32Accessible.cpp): the facts of the
// control shown by `hwnd`, and a left click on an image through the model.
bool AccessibleFactsOf(HWND hwnd, AccessibleFacts& facts);
bool PressAccessible(HWND hwnd);

// The answer to WM_GETOBJECT for a control's window: the accessible object
// for OBJID_CLIENT; false for any other object, which the window's own
// procedure then answers.
bool AnswerGetObject(HWND hwnd, WPARAM wp, LPARAM lp, LRESULT& result);

} // namespace tw::toolkit
