// The model into the real windows: every property the model reports changed
// is written into the control that shows it, and a new window takes them all. Writes are marked as
// mirroring, so the controls' own notifications are not taken for user input.
#include "Win32Impl.h"

#include "Win32Convert.h"

namespace tw::toolkit {

using win32text::Wide;

ControlWindow* Win32Backend::Impl::WindowOf(const Control& control) const {
    const auto it = windows_.find(&control);
    return it == windows_.end() ? nullptr : it->second.get();
}

ControlWindow* Win32Backend::Impl::WindowOf(HWND hwnd) const {
    const auto it = byHandle_.find(hwnd);
    return it == byHandle_.end() ? nullptr : it->second;
}

HWND Win32Backend::Impl::HandleOf(const Control& control) const {
    const ControlWindow* cw = WindowOf(control);
    return cw ? cw->hwnd : nullptr;
}

void Win32Backend::Impl::Redraw(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Win32Backend::Impl::MirrorSelection(ControlWindow& cw) {
    const auto& box = static_cast<const TextBox&>(*cw.control);
    ++mirroring_;
    ::SendMessageW(cw.hwnd, EM_SETSEL, static_cast<WPARAM>(box.SelStart()),
                   static_cast<LPARAM>(box.SelStart() + box.SelLength()));
    ::SendMessageW(cw.hwnd, EM_SCROLLCARET, 0, 0);
    --mirroring_;
}

void Win32Backend::Impl::MirrorText(ControlWindow& cw) {
    const auto& box = static_cast<const TextBox&>(*cw.control);
    ++mirroring_;
    ::SetWindowTextW(cw.hwnd, Wide(box.Text()));
    --mirroring_;
    MirrorSelection(cw);
}

namespace {

// Entries going into a combo box in one go: room for all of them at once, no
// drawing meanwhile (neither the box nor its list and scroll bar redraws
// for each entry), and straight to the combo box's own procedure. The
// entries are no user input, and the subclass costs a lookup per message (a
// server round trip under Wine, where 100,000 of them take seconds).
class ListFiller {
public:
    ListFiller(HWND box, std::size_t count)
        : box_(box), own_(reinterpret_cast<WNDPROC>(::GetClassLongPtrW(box, GCLP_WNDPROC))) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        rows_ = ::GetComboBoxInfo(box_, &info) ? info.hwndList : nullptr;
        ::SendMessageW(box_, WM_SETREDRAW, FALSE, 0);
        if (rows_ != nullptr)
            ::SendMessageW(rows_, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(box_, CB_INITSTORAGE, static_cast<WPARAM>(count), 0);
    }
    ~ListFiller() {
        if (rows_ != nullptr)
            ::SendMessageW(rows_, WM_SETREDRAW, TRUE, 0);
        ::SendMessageW(box_, WM_SETREDRAW, TRUE, 0);
    }
    ListFiller(const ListFiller&) = delete;
    ListFiller& operator=(const ListFiller&) = delete;

    void Insert(int index, const std::u16string& text) {
        ::CallWindowProcW(own_, box_, CB_INSERTSTRING, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(Wide(text)));
    }

private:
    HWND box_;
    HWND rows_ = nullptr;
    WNDPROC own_;
};

} // namespace

// The whole list anew: at creation and after Clear.
void Win32Backend::Impl::MirrorList(ControlWindow& cw) {
    const auto& list = static_cast<const ComboBox&>(*cw.control);
    cw.pendingItems.clear();
    ++mirroring_;
    ::SendMessageW(cw.hwnd, CB_RESETCONTENT, 0, 0);
    {
        ListFiller filler(cw.hwnd, list.Items().size());
        int index = 0;
        for (const auto& item : list.Items())
            filler.Insert(index++, item);
    }
    ::SendMessageW(cw.hwnd, CB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
    --mirroring_;
}

void Win32Backend::Impl::QueueListItem(ControlWindow& cw) {
    const auto& list = static_cast<const ComboBox&>(*cw.control);
    if (cw.pendingItems.empty())
        pendingLists_.push_back(&cw);
    cw.pendingItems.emplace_back(list.NewIndex(), list.List(list.NewIndex()));
    if (!flushPosted_ && hwnd_ != nullptr)
        flushPosted_ = ::PostMessageW(hwnd_, kFlushListsMessage, 0, 0) != FALSE;
}

void Win32Backend::Impl::MirrorListIndex(ControlWindow& cw) {
    FlushListItems();
    ++mirroring_;
    ::SendMessageW(cw.hwnd, CB_SETCURSEL,
                   static_cast<WPARAM>(static_cast<const ComboBox&>(*cw.control).ListIndex()), 0);
    --mirroring_;
}

void Win32Backend::Impl::FlushListItems() {
    flushPosted_ = false;
    std::vector<ControlWindow*> lists;
    lists.swap(pendingLists_);
    for (ControlWindow* cw : lists) {
        if (cw->hwnd == nullptr) {
            cw->pendingItems.clear();
            continue;
        }
        ++mirroring_;
        {
            ListFiller filler(cw->hwnd, cw->pendingItems.size());
            for (const auto& [index, text] : cw->pendingItems)
                filler.Insert(index, text);
        }
        --mirroring_;
        cw->pendingItems.clear();
    }
}

void Win32Backend::Impl::MirrorGeometry(ControlWindow& cw) {
    RECT r = PixelRect(*cw.control);
    if (cw.control->Kind() == ControlKind::ComboBox) {
        // The window's height includes the opened list: its rows and a border.
        const auto rowHeight = static_cast<int>(::SendMessageW(cw.hwnd, CB_GETITEMHEIGHT, 0, 0));
        r.bottom += ComboBox::kDropDownRows * (rowHeight > 0 ? rowHeight : Px(195)) + 2;
        ::SendMessageW(cw.hwnd, CB_SETMINVISIBLE, ComboBox::kDropDownRows, 0);
    }
    ::SetWindowPos(cw.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // Labels and lines show what lies under them: a moved rectangle repaints its neighbours.
    if (cw.control->Kind() == ControlKind::Shape)
        Redraw(::GetParent(cw.hwnd));
    // A picture is drawn at its window's size.
    if (cw.control->Kind() == ControlKind::Image)
        ::InvalidateRect(cw.hwnd, nullptr, FALSE);
}

void Win32Backend::Impl::UpdateToolTip(ControlWindow& cw) {
    if (tooltip_ == nullptr || cw.hwnd == nullptr)
        return;
    const std::u16string& text = cw.control->ToolTipText();
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = ::GetParent(cw.hwnd);
    info.uId = reinterpret_cast<UINT_PTR>(cw.hwnd);
    info.lpszText = const_cast<wchar_t*>(Wide(text));
    if (text.empty()) {
        if (cw.hasToolTip)
            ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        cw.hasToolTip = false;
    } else if (cw.hasToolTip) {
        ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    } else {
        cw.hasToolTip =
            ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
    }
}

void Win32Backend::Impl::MirrorTimer(Timer& timer) {
    if (options_.virtualTime) {
        clock_.TimerChanged(timer);
        return;
    }
    auto it = timerIds_.find(&timer);
    if (it == timerIds_.end()) {
        it = timerIds_.emplace(&timer, nextTimerId_++).first;
        timers_[it->second] = &timer;
    }
    if (hwnd_ == nullptr)
        return;
    // Setting a running timer again starts its count again, as the model says.
    if (timer.Enabled() && timer.Interval() > 0)
        ::SetTimer(hwnd_, it->second, static_cast<UINT>(timer.Interval()), nullptr);
    else
        ::KillTimer(hwnd_, it->second);
}

void Win32Backend::Impl::MirrorAll(ControlWindow& cw) {
    ++mirroring_;
    for (Property what : kMirroredProperties)
        Mirror(cw, what);
    --mirroring_;
}

void Win32Backend::Impl::Mirror(ControlWindow& cw, Property what) {
    const Control& control = *cw.control;
    const HWND hwnd = cw.hwnd;
    switch (what) {
    case Property::Caption:
        if (control.Kind() == ControlKind::Label) {
            const auto& label = static_cast<const Label&>(control);
            LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE) & ~LONG_PTR{kLabelStyleMask};
            style |= static_cast<LONG_PTR>(LabelStyle(label));
            ::SetWindowLongPtrW(hwnd, GWL_STYLE, style);
            ::SetWindowTextW(hwnd, Wide(label.Caption()));
            ::InvalidateRect(hwnd, nullptr, TRUE);
            AnnounceCaption(cw);
        } else if (const Captioned* captioned = AsCaptioned(control)) {
            ::SetWindowTextW(hwnd, Wide(captioned->Caption()));
        }
        break;
    case Property::Text:
        if (control.Kind() == ControlKind::TextBox)
            MirrorText(cw);
        break;
    case Property::Selection:
        if (control.Kind() == ControlKind::TextBox && syncing_ != &control)
            MirrorSelection(cw);
        break;
    case Property::Value:
        if (control.Kind() == ControlKind::CheckBox || control.Kind() == ControlKind::OptionButton)
            ::SendMessageW(hwnd, BM_SETCHECK, CheckStateOf(control), 0);
        break;
    case Property::Enabled:
        ::EnableWindow(hwnd, control.Enabled() ? TRUE : FALSE);
        break;
    case Property::Visible:
        ::ShowWindow(hwnd, control.Visible() ? SW_SHOWNA : SW_HIDE);
        break;
    case Property::Geometry:
        MirrorGeometry(cw);
        break;
    case Property::ToolTip:
        UpdateToolTip(cw);
        break;
    case Property::Colors:
        Redraw(control.Kind() == ControlKind::Shape ? ::GetParent(hwnd) : hwnd);
        break;
    case Property::Font:
        ::SendMessageW(hwnd, WM_SETFONT,
                       reinterpret_cast<WPARAM>(gdi_.FontFor(control.Font(), dpi_)), TRUE);
        if (control.Kind() == ControlKind::ComboBox)
            MirrorGeometry(cw); // the rows' height follows the font
        break;
    case Property::List:
        if (control.Kind() == ControlKind::ComboBox)
            MirrorList(cw);
        break;
    case Property::ListItemAdded:
        if (control.Kind() == ControlKind::ComboBox)
            QueueListItem(cw);
        break;
    case Property::ListIndex:
        if (control.Kind() == ControlKind::ComboBox)
            MirrorListIndex(cw);
        break;
    case Property::ZOrder:
        Restack(control.Container());
        break;
    case Property::Locked:
        if (control.Kind() == ControlKind::TextBox)
            ::SendMessageW(hwnd, EM_SETREADONLY, static_cast<const TextBox&>(control).Locked(), 0);
        break;
    case Property::Picture:
        ::InvalidateRect(hwnd, nullptr, FALSE);
        break;
    case Property::Accessibility:
        MirrorAccessibility(cw);
        break;
    case Property::TimerState:
        break;
    }
}

} // namespace tw::toolkit
