#include "ScenarioRunner.h"

#include "ControlProperties.h"
#include "JsonValues.h"
#include "KeyNames.h"
#include "hosts/ProgramVersion.h"
#include "platform/SmallFile.h"
#include "platform/TextConvert.h"
#include "platform/sim/JsonNesting.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#ifdef TW_SCENARIO_SAMR
#include "platform/linux/LinuxPlatform.h"
#include "platform/samr/SamrNetApi.h"
#endif

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace tw::scenario {

using nlohmann::json;

namespace {

// A failure of the scenario itself (malformed step, unknown name) or of one
// of its expectations; the runner reports it with the step number.
struct StepFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::u16string LongDatePicture(win::ISystem& system) {
    char16_t buffer[128] = {};
    const int written =
        system.GetLocaleInfoW(win::LOCALE_USER_DEFAULT, win::LOCALE_SLONGDATE, buffer, 128);
    return written > 0 ? std::u16string(buffer) : std::u16string(u"dddd, MMMM d, yyyy");
}

// What a step's value may be.
bool IsAnything(const json&) {
    return true;
}

bool IsText(const json& value) {
    return value.is_string();
}

bool IsObject(const json& value) {
    return value.is_object();
}

bool IsMilliseconds(const json& value) {
    const std::optional<std::int64_t> ms = WholeNumber(value);
    return ms && *ms >= 0 && *ms <= INT32_MAX;
}

bool IsPair(const json& value) {
    return value.is_array() && value.size() == 2;
}

bool IsTextPair(const json& value) {
    return IsPair(value) && value[0].is_string() && value[1].is_string();
}

bool IsControlAndNumber(const json& value) {
    return IsPair(value) && value[0].is_string() && WholeNumber(value[1]);
}

bool IsControlAndEntry(const json& value) {
    return IsTextPair(value) || IsControlAndNumber(value);
}

bool IsPoint(const json& value) {
    return IsPair(value) && WholeNumber(value[0]) && WholeNumber(value[1]);
}

class Run {
public:
    Run(const json& scenario, ToolkitFactory makeToolkit, const samr::SamrConnection* connection,
        const Hooks* hooks)
        : scenario_(scenario), makeToolkit_(makeToolkit), connection_(connection), hooks_(hooks) {}

    void Execute() {
        for (auto it = scenario_.begin(); it != scenario_.end(); ++it) {
            if (it.key() != "name" && it.key() != "machine" && it.key() != "steps")
                throw StepFailure("unknown key \"" + it.key() + "\" in the scenario");
        }
        try {
            sim::MachineDescription machine = sim::loadMachine(
                scenario_.contains("machine") ? scenario_.at("machine") : json::object());
#ifdef TW_SCENARIO_SAMR
            // On real servers the program runs on this computer, as tarnwick
            // --connect does: the running user, the local server for the
            // computer's name (never a name only a resolver knows), its
            // locale's language; language files, as always, from the scenario.
            if (connection_ != nullptr)
                machine = lx::DescribeThisComputer(machine.system.executableFolder, *connection_);
#endif
            sim_ = std::make_unique<sim::SimPlatform>(std::move(machine));
        } catch (const std::exception& error) {
            throw StepFailure(error.what());
        }
        const win::Platform simulated = sim_->platform();
        net_ = &sim_->net();
        if (connection_ != nullptr) {
            if (scenario_.contains("machine"))
                throw StepFailure("a scenario on real servers describes no machine");
#ifdef TW_SCENARIO_SAMR
            samr_ = std::make_unique<samr::SamrNetApi>(*connection_);
            net_ = samr_.get();
#else
            throw StepFailure("this build does not reach real servers");
#endif
        }
        app_ = std::make_unique<toolkit::Application>(hosts::ProgramVersion(),
                                                      sim_->machine().system.executableFolder);
        window_ = std::make_unique<app::FUserInfo>(
            *app_, win::Platform{*net_, simulated.system, simulated.registry, simulated.files,
                                 simulated.windowSystem, simulated.visualStyles,
                                 // Real servers are managed from a computer without
                                 // a Windows registry, as tarnwick --connect is.
                                 connection_ == nullptr, connection_ != nullptr,
                                 UnknownChangeRight(simulated)});
        toolkit_ = makeToolkit_();
        toolkit_->UseWindowSystem(sim_->windowSystem());
        toolkit_->Attach(*window_, *app_, LongDatePicture(sim_->platform().system));

        const json steps = scenario_.value("steps", json::array());
        if (!steps.is_array())
            throw StepFailure("\"steps\" must be an array");
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const std::string where = "step " + std::to_string(i + 1) + ": ";
            try {
                Step(steps[i]);
            } catch (const StepFailure& failure) {
                throw StepFailure(where + failure.what());
            } catch (const std::exception& error) {
                throw StepFailure(where + "unexpected error: " + error.what());
            }
        }
    }

private:
    // A kind of step: its name, what it does and what its value must be. The
    // value is checked before the step runs, so a step reads only values of
    // the type it takes.
    struct StepKind {
        const char* name;
        void (Run::*perform)(const json& value);
        const char* takes; // for the message when the value does not fit
        bool (*fits)(const json& value);
    };

    void Step(const json& step) {
        if (!step.is_object() || step.size() != 1)
            throw StepFailure("a step is an object with one key, found " + Show(step));
        const std::string name = step.begin().key();
        const json& value = step.begin().value();
        static const StepKind kinds[] = {
            {"start", &Run::Start, "{}", IsAnything},
            {"close", &Run::Close, "{}", IsAnything},
            {"click", &Run::Click, "a control name", IsText},
            {"focus", &Run::Focus, "a control name", IsText},
            {"type", &Run::Type, "[control, text]", IsTextPair},
            {"replace", &Run::Replace, "[text box, text]", IsTextPair},
            {"key", &Run::PressKey, "[control, key name]", IsTextPair},
            {"menu", &Run::ChooseMenuItem, "[text box, menu item]", IsTextPair},
            {"paste", &Run::Paste, "[text box, text]", IsTextPair},
            {"select", &Run::Select, "[list, entry's text or index]", IsControlAndEntry},
            {"mouseDown", &Run::MouseDown, "[control, mouse button]", IsControlAndNumber},
            {"mouseUp", &Run::MouseUp, "[control, mouse button]", IsControlAndNumber},
            {"wait", &Run::Wait, "a number of milliseconds", IsMilliseconds},
            {"keyboard", &Run::Keyboard, "an object, {} for a press of Alt", IsObject},
            {"mouseMove", &Run::MouseMove, "[x, y] in screen pixels", IsPoint},
            {"system", &Run::SystemMessage, "a system message's name", IsText},
            {"machine", &Run::ChangeMachine, "an object", IsObject},
            {"hook", &Run::RunHook, "a name", IsText},
            {"clearCalls", &Run::ClearCalls, "{}", IsAnything},
            {"expect", &Run::Expect, "an object", IsObject},
        };
        for (const StepKind& kind : kinds) {
            if (name != kind.name)
                continue;
            if (!kind.fits(value))
                throw StepFailure("\"" + name + "\" takes " + kind.takes + ", found " +
                                  Show(value));
            (this->*kind.perform)(value);
            return;
        }
        throw StepFailure("unknown action \"" + name + "\"");
    }

    toolkit::Form& Form() {
        return window_->Form();
    }
    toolkit::IUserInput& Input() {
        return toolkit_->Input();
    }

    toolkit::Control& ControlNamed(const std::string& name) {
        toolkit::Control* control = Form().Find(name);
        if (control == nullptr)
            throw StepFailure("unknown control \"" + name + "\"");
        return *control;
    }

    toolkit::TextBox& TextBoxNamed(const json& name) {
        toolkit::Control& control = ControlNamed(name.get<std::string>());
        if (control.Kind() != toolkit::ControlKind::TextBox)
            throw StepFailure("\"" + control.Name() + "\" is not a text box");
        return static_cast<toolkit::TextBox&>(control);
    }

    void TypeText(const json& text) {
        for (char16_t c : FromUtf8(text.get<std::string>()))
            Input().Key(c);
    }

    void Start(const json&) {
        if (started_)
            throw StepFailure("the program was already started");
        started_ = true;
        window_->Start();
    }

    void Close(const json&) {
        Input().Close();
    }

    void Click(const json& name) {
        Input().Click(ControlNamed(name.get<std::string>()));
    }

    void Focus(const json& name) {
        Input().Focus(ControlNamed(name.get<std::string>()));
    }

    // Typing into a drop-down list chooses the entry the characters lead to.
    void Type(const json& args) {
        toolkit::Control& control = ControlNamed(args[0].get<std::string>());
        if (control.Kind() != toolkit::ControlKind::TextBox &&
            control.Kind() != toolkit::ControlKind::ComboBox)
            throw StepFailure("\"" + control.Name() + "\" is neither a text box nor a list");
        Input().Focus(control);
        TypeText(args[1]);
    }

    void Replace(const json& args) {
        toolkit::TextBox& box = TextBoxNamed(args[0]);
        Input().Focus(box);
        if (Form().ActiveControl() == &box) {
            Input().SelectAllWithMouse(box);
            if (args[1].get<std::string>().empty())
                Input().ContextMenu(box, toolkit::EditCommand::Clear); // no key press
        }
        TypeText(args[1]);
    }

    void PressKey(const json& args) {
        toolkit::Control& control = ControlNamed(args[0].get<std::string>());
        const std::optional<KeyStroke> key = KeyNamed(args[1].get<std::string>());
        if (!key)
            throw StepFailure("unknown key " + Show(args[1]));
        Input().Focus(control);
        if (key->keyCode != 0)
            Input().KeyDown(key->keyCode, key->shift);
        else
            Input().Key(key->character);
    }

    void ChooseMenuItem(const json& args) {
        static const std::pair<const char*, toolkit::EditCommand> items[] = {
            {"Cut", toolkit::EditCommand::Cut},
            {"Copy", toolkit::EditCommand::Copy},
            {"Paste", toolkit::EditCommand::Paste},
            {"Delete", toolkit::EditCommand::Clear},
            {"Select All", toolkit::EditCommand::SelectAll}};
        toolkit::TextBox& box = TextBoxNamed(args[0]);
        for (const auto& [name, command] : items) {
            if (args[1].get<std::string>() == name)
                return Input().ContextMenu(box, command);
        }
        throw StepFailure("a menu item is \"Cut\", \"Copy\", \"Paste\", \"Delete\" or "
                          "\"Select All\", found " +
                          Show(args[1]));
    }

    void Paste(const json& args) {
        toolkit::TextBox& box = TextBoxNamed(args[0]);
        Input().Focus(box);
        if (Form().ActiveControl() == &box)
            Input().Paste(box, FromUtf8(args[1].get<std::string>()));
    }

    void Select(const json& args) {
        toolkit::Control& control = ControlNamed(args[0].get<std::string>());
        if (control.Kind() != toolkit::ControlKind::ComboBox)
            throw StepFailure("\"" + control.Name() + "\" is not a list");
        auto& list = static_cast<toolkit::ComboBox&>(control);
        int index = -1;
        if (args[1].is_string()) {
            const std::u16string wanted = FromUtf8(args[1].get<std::string>());
            for (int i = 0; i < list.ListCount() && index < 0; ++i) {
                if (list.List(i) == wanted)
                    index = i;
            }
        } else if (const std::int64_t number = *WholeNumber(args[1]);
                   number >= 0 && number < list.ListCount()) {
            index = static_cast<int>(number);
        }
        if (index < 0)
            throw StepFailure("\"" + control.Name() + "\" has no entry " + Show(args[1]));
        Input().Select(list, index);
    }

    void MouseDown(const json& args) {
        MouseButton(args, true);
    }

    void MouseUp(const json& args) {
        MouseButton(args, false);
    }

    void MouseButton(const json& args, bool down) {
        toolkit::Control& control = ControlNamed(args[0].get<std::string>());
        const int button = static_cast<int>(*WholeNumber(args[1]));
        // The button is held, as the keyboard state reports it, from the
        // press to the release.
        const win::BYTE key = button == toolkit::vbRightButton  ? win::VK_RBUTTON
                              : button == toolkit::vbLeftButton ? win::VK_LBUTTON
                                                                : win::VK_MBUTTON;
        if (down) {
            sim_->setKeyDown(key, true);
            Input().MouseDown(control, button);
        } else {
            Input().MouseUp(control, button);
            sim_->setKeyDown(key, false);
        }
    }

    void Wait(const json& ms) {
        Input().Wait(static_cast<int>(*WholeNumber(ms)));
    }

    // {"key": virtual key (default Alt), "action": "press" (down and up, the
    // default), "down" (held until an "up") or "up"}.
    void Keyboard(const json& args) {
        win::BYTE key = win::VK_MENU;
        std::string what = "press";
        for (auto it = args.begin(); it != args.end(); ++it) {
            if (it.key() == "key") {
                const auto number = WholeNumber(it.value());
                if (!number || *number < 1 || *number > 254)
                    throw StepFailure("a virtual key is a number from 1 to 254");
                key = static_cast<win::BYTE>(*number);
            } else if (it.key() == "action") {
                what = it.value().is_string() ? it.value().get<std::string>() : std::string();
                if (what != "press" && what != "down" && what != "up")
                    throw StepFailure("a key action is \"press\", \"down\" or \"up\"");
            } else {
                throw StepFailure("unknown field \"" + it.key() + "\" of \"keyboard\"");
            }
        }
        if (what != "up")
            sim_->keyEvent(key, false);
        if (what != "down")
            sim_->keyEvent(key, true);
    }

    void MouseMove(const json& point) {
        sim_->mouseMove(static_cast<win::LONG>(*WholeNumber(point[0])),
                        static_cast<win::LONG>(*WholeNumber(point[1])));
    }

    void SystemMessage(const json& name) {
        static const std::pair<const char*, win::UINT> messages[] = {
            {"WM_SYSCOLORCHANGE", win::WM_SYSCOLORCHANGE},
            {"WM_SETTINGCHANGE", win::WM_SETTINGCHANGE},
            {"WM_THEMECHANGED", win::WM_THEMECHANGED}};
        for (const auto& [text, message] : messages) {
            if (name.get<std::string>() == text) {
                sim_->deliverMessage(Form().Handle(), message, 0, 0);
                toolkit_->SystemMessage(message);
                return;
            }
        }
        throw StepFailure("\"system\" takes \"WM_SYSCOLORCHANGE\", \"WM_SETTINGCHANGE\" or "
                          "\"WM_THEMECHANGED\", found " +
                          Show(name));
    }

    void ChangeMachine(const json& patch) {
        if (connection_ != nullptr)
            throw StepFailure("\"machine\" changes the simulated computer: not on real servers");
        try {
            sim_->applyPatch(patch);
        } catch (const std::exception& error) {
            throw StepFailure(error.what());
        }
    }

    // What the program running the scenario does between two steps (a test
    // changes a real server there, as another administrator would).
    void RunHook(const json& name) {
        const auto hook =
            hooks_ != nullptr ? hooks_->find(name.get<std::string>()) : Hooks::const_iterator{};
        if (hooks_ == nullptr || hook == hooks_->end())
            throw StepFailure("no hook " + Show(name) + " here");
        hook->second();
    }

    void ClearCalls(const json&) {
        net_->ClearCalls();
        sim_->clearWindowMessages();
    }

    void Expect(const json& expectations) {
        for (auto it = expectations.begin(); it != expectations.end(); ++it) {
            const json actual = Actual(it.key());
            if (!Matches(it.value(), actual))
                throw StepFailure(it.key() + ": expected " + Show(it.value()) + ", found " +
                                  Show(actual));
        }
    }

    json Actual(const std::string& key) {
        using Path = const std::string&;
        // A name that ends in "." reads every key that starts with it, given the rest.
        static const std::pair<const char*, json (*)(Run&, Path)> readers[] = {
            {"Machine.", [](Run& run, Path path) { return run.MachineState(path); }},
            {"Form.Caption", [](Run& run, Path) -> json { return ToUtf8(run.Form().Caption()); }},
            {"Form.Enabled", [](Run& run, Path) -> json { return run.Form().Enabled(); }},
            {"Form.Visible", [](Run& run, Path) -> json { return run.Form().Visible(); }},
            {"Form.ActiveControl", [](Run& run, Path) { return run.ActiveControl(); }},
            {"Form.BackColor", [](Run& run, Path) -> json { return run.Form().BackColor(); }},
            {"Form.ForeColor", [](Run& run, Path) -> json { return run.Form().ForeColor(); }},
            {"Form.CuesShown", [](Run& run, Path) -> json { return run.window_->AreCuesShown(); }},
            {"Form.KeyboardCues", [](Run& run, Path) -> json { return run.Form().KeyboardCues(); }},
            {"Screen.MousePointer", [](Run& run, Path) { return run.MousePointer(); }},
            {"App.MessageBoxes", [](Run& run, Path) { return run.MessageBoxes(); }},
            {"App.Beeps", [](Run& run, Path) -> json { return run.app_->Beeps(); }},
            {"App.Ended", [](Run& run, Path) -> json { return run.app_->Ended(); }},
            {"App.Clipboard",
             [](Run& run, Path) -> json {
                 return ToUtf8(run.Form().ClipboardText().value_or(u""));
             }},
            {"Platform.Calls", [](Run& run, Path) -> json { return run.net_->Calls(); }},
            {"Platform.OutstandingBuffers",
             [](Run& run, Path) -> json { return run.net_->OutstandingBuffers(); }},
            {"Platform.WindowMessages",
             [](Run& run, Path) -> json { return run.sim_->windowMessages(); }},
            {"Platform.Hooks", [](Run& run, Path) -> json { return run.sim_->hooks(); }},
            {"Platform.LiveIcons", [](Run& run, Path) -> json { return run.sim_->liveIcons(); }},
            {"Platform.OpenThemes", [](Run& run, Path) -> json { return run.sim_->openThemes(); }},
            {"Platform.WindowIcons", [](Run& run, Path) { return run.WindowIcons(); }},
        };
        for (const auto& [name, read] : readers) {
            const std::string_view fixed(name);
            if (key == fixed || (fixed.ends_with('.') && key.starts_with(fixed)))
                return read(*this, key.substr(fixed.size()));
        }
        // Any other key is CONTROL.Property, unless it starts as a row does
        // ("Form.", "App." ...) or has no dot at all.
        const std::string group = key.substr(0, key.find('.') + 1);
        for (const auto& [name, read] : readers) {
            if (std::string_view(name).starts_with(group))
                throw StepFailure("unknown expectation \"" + key + "\"");
        }
        const auto dot = key.rfind('.');
        toolkit::Control& control = ControlNamed(key.substr(0, dot));
        const std::string property = key.substr(dot + 1);
        if (std::optional<json> value = ReadProperty(control, property, *toolkit_))
            return *value;
        throw StepFailure("unknown property \"" + property + "\" of \"" + control.Name() + "\"");
    }

    json MachineState(const std::string& path) {
        try {
            return sim_->query(path);
        } catch (const sim::MachineError& error) {
            throw StepFailure(error.what()); // "Machine.PATH: what is wrong"
        }
    }

    json ActiveControl() {
        return Form().ActiveControl() ? json(Form().ActiveControl()->Name()) : json(nullptr);
    }

    json MousePointer() {
        return app_->MousePointer() == toolkit::MousePointer::Hourglass ? "hourglass" : "default";
    }

    json MessageBoxes() {
        json boxes = json::array();
        for (const auto& box : app_->MessageBoxes())
            boxes.push_back(
                {{"text", ToUtf8(box.Text)}, {"title", ToUtf8(box.Title)}, {"style", box.Style}});
        return boxes;
    }

    json WindowIcons() {
        auto icon = [&](bool big) {
            const std::string size = sim_->windowIcon(Form().Handle(), big);
            return size.empty() ? json(nullptr) : json(size);
        };
        return json{{"small", icon(false)}, {"big", icon(true)}};
    }

    // Why an account's change-password right is out of reach: the real
    // server's answer, or the simulated computer's.
    std::function<std::optional<std::u16string>(const std::u16string&, const std::u16string&)>
    UnknownChangeRight(const win::Platform& simulated) {
#ifdef TW_SCENARIO_SAMR
        if (samr_ != nullptr)
            return [this](const std::u16string& server, const std::u16string& account) {
                return samr_->WhyChangeRightUnknown(server, account);
            };
#endif
        return simulated.unknownChangeRight;
    }

    const json& scenario_;
    ToolkitFactory makeToolkit_;
    const samr::SamrConnection* connection_;
    const Hooks* hooks_;
    std::unique_ptr<sim::SimPlatform> sim_;
#ifdef TW_SCENARIO_SAMR
    std::unique_ptr<samr::SamrNetApi> samr_;
#endif
    // The network-management functions the window calls: the simulated
    // computer's, or the real servers'.
    win::NetApiFront* net_ = nullptr;
    std::unique_ptr<toolkit::Application> app_;
    std::unique_ptr<app::FUserInfo> window_;
    std::unique_ptr<ScenarioToolkit> toolkit_;
    bool started_ = false;
};

std::filesystem::path Utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

// A language file given as `"file": PATH` (relative to the scenario's
// folder) becomes that file's bytes, so a scenario can check the language
// files the program ships with rather than a copy that drifts from them.
void ReadLanguageFileFrom(json& scenario, const std::string& folder) {
    if (!scenario.contains("machine") || !scenario["machine"].is_object())
        return;
    json& machine = scenario["machine"];
    if (!machine.contains("languageFile") || !machine["languageFile"].is_object() ||
        !machine["languageFile"].contains("file"))
        return;
    json& languageFile = machine["languageFile"];
    const json& named = languageFile["file"];
    if (!named.is_string())
        throw StepFailure("machine.languageFile.file: expected a path");
    std::filesystem::path path = Utf8Path(named.get<std::string>());
    if (path.is_relative())
        path = Utf8Path(folder) / path;
    // A language file is small and a file: never a device, a FIFO or a folder.
    std::string content;
    if (auto why = win::ReadSmallFile(path, content))
        throw StepFailure("machine.languageFile.file: " + named.get<std::string>() + " " + *why);
    json bytes = json::array();
    for (const char c : content)
        bytes.push_back(static_cast<unsigned char>(c));
    languageFile.erase("file");
    languageFile["bytes"] = std::move(bytes);
}

} // namespace

bool CanConnect() {
#ifdef TW_SCENARIO_SAMR
    return true;
#else
    return false;
#endif
}

ScenarioResult RunScenarioText(const std::string& text, const std::string& fallbackName,
                               ToolkitFactory makeToolkit, const samr::SamrConnection* connection,
                               const std::string& folder, const Hooks* hooks) {
    ScenarioResult result;
    result.name = fallbackName;
    if (const auto tooDeep = sim::CheckJsonNesting(text)) {
        result.message = "not a scenario: " + *tooDeep;
        return result;
    }
    json scenario;
    try {
        scenario = json::parse(text);
    } catch (const json::exception& error) {
        // Not only syntax: a number too large for any number type is refused too.
        result.message = std::string("not valid JSON: ") + error.what();
        return result;
    }
    if (!scenario.is_object()) {
        result.message = "a scenario is a JSON object";
        return result;
    }
    if (scenario.contains("name") && scenario.at("name").is_string())
        result.name = scenario.at("name").get<std::string>();
    try {
        ReadLanguageFileFrom(scenario, folder);
        Run(scenario, makeToolkit, connection, hooks).Execute();
        result.passed = true;
    } catch (const StepFailure& failure) {
        result.message = failure.what();
    } catch (const std::exception& error) {
        result.message = std::string("unexpected error: ") + error.what();
    }
    return result;
}

ScenarioResult RunScenarioFile(const std::string& path, ToolkitFactory makeToolkit,
                               const samr::SamrConnection* connection, const Hooks* hooks) {
    // The path is UTF-8 on every system: on Windows it opens through the wide file functions.
    const std::filesystem::path filePath = Utf8Path(path);
    std::string text;
    if (auto why = win::ReadSmallFile(filePath, text)) {
        ScenarioResult result;
        result.name = path;
        result.message = "the file " + *why;
        return result;
    }
    const std::u8string folder = filePath.parent_path().u8string();
    return RunScenarioText(text, path, makeToolkit, connection,
                           std::string(folder.begin(), folder.end()), hooks);
}

} // namespace tw::scenario
