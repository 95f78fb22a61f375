// The toolkit without a screen: a virtual clock drives the timers, and the
// application services only record. Serves the unit tests and the scenario
// runner; the Qt and Win32 backends reuse its clock-free parts.
#pragma once

#include "../Application.h"
#include "../Controls.h"
#include "../IFormView.h"

#include <cstdint>
#include <map>
#include <string>

namespace tw::toolkit {

class HeadlessBackend : public IFormView, public IAppBackend {
public:
    // `longDatePicture` is the user's long date format, as "dddd, MMMM d, yyyy".
    explicit HeadlessBackend(std::u16string longDatePicture = u"dddd, MMMM d, yyyy")
        : longDatePicture_(std::move(longDatePicture)) {}

    // IFormView
    void ControlChanged(Control& control, Property what) override;
    void FormChanged(Property) override {}
    void FocusChanged(Control*) override {}

    // IAppBackend
    void ShowMousePointer(MousePointer) override {}
    void DoEvents() override { ++doEventsPasses_; }
    void ShowMessageBox(const MessageBoxRecord&) override {}
    void Beep() override {}
    std::u16string FormatLongDate(double serial) override;
    void End() override {}

    // Lets `ms` milliseconds pass; every timer due meanwhile ticks, in time order.
    void Advance(std::int64_t ms);
    std::int64_t Now() const { return now_; }
    int DoEventsPasses() const { return doEventsPasses_; }
    void SetLongDatePicture(std::u16string picture) { longDatePicture_ = std::move(picture); }

private:
    struct Schedule {
        std::int64_t due;
        std::uint64_t order;
    };
    std::u16string longDatePicture_;
    std::map<Timer*, Schedule> timers_;
    std::int64_t now_ = 0;
    std::uint64_t nextOrder_ = 0;
    int doEventsPasses_ = 0;
};

} // namespace tw::toolkit
