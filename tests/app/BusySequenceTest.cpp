// Every network-management call runs inside the busy sequence: the hourglass,
// "Wait..." (or the language file's text) in the status line, the window
// disabled and painted once before the call blocks.
#include "app/FUserInfo.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tw;

struct Observation {
    std::u16string status;
    bool formEnabled;
    toolkit::MousePointer pointer;
    int paintedPasses;
};

// Forwards to the simulated computer and notes what the window showed at the
// moment of each call.
class ObservingNetApi : public win::INetApi {
public:
    explicit ObservingNetApi(win::INetApi& inner) : inner_(inner) {}
    std::function<void()> onCall;

    win::NET_API_STATUS NetUserEnum(win::LPCWSTR s, win::DWORD l, win::DWORD f, win::LPBYTE* b,
                                    win::DWORD p, win::LPDWORD e, win::LPDWORD t,
                                    win::PDWORD r) override {
        onCall();
        return inner_.NetUserEnum(s, l, f, b, p, e, t, r);
    }
    win::NET_API_STATUS NetUserGetInfo(win::LPCWSTR s, win::LPCWSTR u, win::DWORD l,
                                       win::LPBYTE* b) override {
        onCall();
        return inner_.NetUserGetInfo(s, u, l, b);
    }
    win::NET_API_STATUS NetUserSetInfo(win::LPCWSTR s, win::LPCWSTR u, win::DWORD l, win::LPBYTE b,
                                       win::LPDWORD e) override {
        onCall();
        return inner_.NetUserSetInfo(s, u, l, b, e);
    }
    win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR s, win::DWORD l, win::LPBYTE* b) override {
        onCall();
        return inner_.NetUserModalsGet(s, l, b);
    }
    win::NET_API_STATUS NetUserModalsSet(win::LPCWSTR s, win::DWORD l, win::LPBYTE b,
                                         win::LPDWORD e) override {
        onCall();
        return inner_.NetUserModalsSet(s, l, b, e);
    }
    win::NET_API_STATUS NetApiBufferFree(win::LPVOID b) override { return inner_.NetApiBufferFree(b); }

private:
    win::INetApi& inner_;
};

std::vector<Observation> ObserveStartup(const std::string& machineText) {
    sim::SimPlatform sim(sim::loadMachineText(machineText));
    win::Platform simPlatform = sim.platform();
    ObservingNetApi net(simPlatform.net);
    win::Platform platform{net,
                           simPlatform.system,
                           simPlatform.registry,
                           simPlatform.files,
                           simPlatform.windowSystem,
                           simPlatform.visualStyles};
    toolkit::Application app({u"Brenholt", 1, 0, 12, u"", u""},
                             sim.machine().system.executableFolder);
    toolkit::HeadlessBackend backend;
    app.SetBackend(&backend);
    app::FUserInfo window(app, platform);
    window.Form().SetView(&backend);
    auto& status = static_cast<toolkit::Label&>(*window.Form().Find("lblStatus"));
    std::vector<Observation> seen;
    net.onCall = [&] {
        seen.push_back({status.Caption(), window.Form().Enabled(), app.MousePointer(),
                        backend.DoEventsPasses()});
    };
    window.Start();
    EXPECT_TRUE(window.Form().Enabled());
    EXPECT_EQ(app.MousePointer(), toolkit::MousePointer::Default);
    return seen;
}

TEST(BusySequence, EveryCallSeesWaitHourglassAndDisabledWindow) {
    const auto seen = ObserveStartup(R"({"system": {"userName": "alice"},
        "computers": {"WS01": {"accounts": [{"name": "alice"}]}}})");
    ASSERT_EQ(seen.size(), 5u); // policy at two levels, the list, the account twice
    for (const Observation& call : seen) {
        EXPECT_EQ(call.status, u"Wait...");
        EXPECT_FALSE(call.formEnabled);
        EXPECT_EQ(call.pointer, toolkit::MousePointer::Hourglass);
    }
    // Each busy sequence paints once before its call blocks: one for the
    // policy's two reads, one for the list, one per fetch of the account.
    EXPECT_EQ(seen[0].paintedPasses, 1);
    EXPECT_EQ(seen[1].paintedPasses, 1);
    EXPECT_EQ(seen[2].paintedPasses, 2);
    EXPECT_EQ(seen[3].paintedPasses, 3);
    EXPECT_EQ(seen[4].paintedPasses, 4);
}

TEST(BusySequence, WaitTextComesFromTheLanguageFile) {
    const auto seen = ObserveStartup(R"({"system": {"uiLanguage": 1031},
        "languageFile": {"name": "1031.loc", "text": "Frm.Status_Wait=Bitte warten...\r\n"}})");
    ASSERT_FALSE(seen.empty());
    for (const Observation& call : seen)
        EXPECT_EQ(call.status, u"Bitte warten...");
}

} // namespace
