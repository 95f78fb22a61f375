// Real key and mouse input as a Windows thread's keyboard and mouse hooks see
// it: an application-wide event filter that hands every key going down or up
// (as a Windows virtual-key code), every pointer move (screen pixels) and
// every mouse button pressed or released to the callbacks it was given, and
// lets the event go on unchanged.
#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;

namespace tw::toolkit {

struct QtInputHookCallbacks {
    std::function<void(int virtualKey, bool up)> keyEvent;
    std::function<void(int x, int y)> mouseMove;
    std::function<void(int virtualKey, bool down)> mouseButton;

    bool Any() const { return keyEvent || mouseMove || mouseButton; }
};

class QtInputHooks : public QObject {
    Q_OBJECT
public:
    // Watches the whole application from now on.
    explicit QtInputHooks(QtInputHookCallbacks callbacks);
    ~QtInputHooks() override;

    // The Windows virtual-key code of a key, 0xFF for one that has none.
    static int VirtualKey(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtInputHookCallbacks callbacks_;
};

} // namespace tw::toolkit
