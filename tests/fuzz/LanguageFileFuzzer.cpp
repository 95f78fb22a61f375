// The language file: any bytes in any of the code pages the system may report
// (binary junk, NULs, huge lines, every kind of line end, a folder or an
// unreadable file of that name), read through the simulated computer's file
// system, then looked up. Checked against the file's meaning: each key gives
// the value of its last line, whatever the case of its letters.
#include "FuzzCheck.h"
#include "common/CodePage.h"
#include "common/mCommon.h"
#include "platform/TextCompare.h"
#include "platform/sim/SimPlatform.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using namespace tw;
using tw::fuzz::Require;

namespace {

std::u16string_view trimSpaces(std::u16string_view text) {
    while (!text.empty() && text.front() == u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    return text;
}

// What the file says, the simple way: folded key -> (key, value) of its last line.
std::map<std::u16string, std::pair<std::u16string, std::u16string>>
expectedTexts(std::u16string_view text) {
    std::map<std::u16string, std::pair<std::u16string, std::u16string>> texts;
    std::vector<std::u16string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    for (std::u16string_view line : lines) {
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos)
            continue;
        const std::u16string_view key = trimSpaces(line.substr(0, equals));
        if (key.empty() || key.front() == u';')
            continue;
        texts[FoldCase(key)] = {std::u16string(key),
                                std::u16string(trimSpaces(line.substr(equals + 1)))};
    }
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    static constexpr unsigned kCodePages[] = {1252, 1250, 1251, 1253, 1254, 1255,  1256,
                                              1257, 1258, 874,  437,  850,  65001, 932};
    sim::MachineDescription machine;
    machine.system.acp = in.PickValueInArray(kCodePages);
    const auto kind = in.ConsumeIntegralInRange<int>(0, 7); // mostly a readable file
    sim::LanguageFile file;
    file.folder = kind == 1;
    file.unreadable = kind == 2;
    file.content = in.ConsumeRemainingBytes<std::uint8_t>();
    machine.languageFile = file;
    const std::u16string folder = machine.system.executableFolder;

    sim::SimPlatform sim(std::move(machine));
    win::Platform platform = sim.platform();
    mCommon common(platform.system, platform.files, folder);
    Require(common.CheckPlatform(), "the default machine is supported");
    common.LoadLanguageFile(0);

    if (file.folder) {
        Require(!common.LanguageLoaded() && common.LanguageTexts() == nullptr,
                "a folder named like the file is no language file");
    } else if (file.unreadable) {
        Require(!common.LanguageLoaded(), "an unreadable file is not consulted");
    } else {
        Require(common.LanguageLoaded(), "a readable file is loaded");
        const auto expected = expectedTexts(DecodeAnsi(file.content, sim.machine().system.acp));
        Require(common.LanguageTexts()->Count() == expected.size(), "one entry per key");
        for (const auto& [folded, entry] : expected) {
            const std::u16string* found = common.LanguageTexts()->Find(entry.first);
            Require(found != nullptr && *found == entry.second, "the last line of a key wins");
            // Looked up as the window does, with arguments whose own "%" stay.
            common.LocString(entry.first, u"default", {5, u"%1 %2 %%"});
        }
    }
    // The window's own keys, whatever the file made of them.
    common.LocString(u"Frm.Status_Wait", u"Wait...");
    common.LocString(u"Frm.Status_Error", u"Error %1. %2", {-5, u"Access is denied."});
    common.LocString(u"Frm.Status_InvalidValue",
                     u"Invalid value \"%1\" in \"%2\" field. Valid value range: %3-%4.",
                     {u"%3", u"Lockout Duration", 0, 4294967295u});
    return 0;
}
