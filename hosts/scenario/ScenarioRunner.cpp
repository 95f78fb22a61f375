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

#include <filesystem>
#include <optional>
#include <stdexcept>

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
        win::INetApi* net = &simulated.net;
        if (connection_ != nullptr) {
            if (scenario_.contains("machine"))
                throw StepFailure("a scenario on real servers describes no machine");
#ifdef TW_SCENARIO_SAMR
            samr_ = std::make_unique<samr::SamrNetApi>(*connection_);
            net = samr_.get();
#else
            throw StepFailure("this build does not reach real servers");
#endif
        }
        app_ = std::make_unique<toolkit::Application>(hosts::ProgramVersion(),
                                                      sim_->machine().system.executableFolder);
        window_ = std::make_unique<app::FUserInfo>(
            *app_, win::Platform{*net, simulated.system, simulated.registry, simulated.files,
                                 simulated.windowSystem, simulated.visualStyles,
                                 // Real servers are managed from a computer without
                                 // a Windows registry, as tarnwick --connect is.
                                 connection_ == nullptr, connection_ != nullptr});
        toolkit_ = makeToolkit_();
        toolkit_->UseWindowSystem(*sim_);
        toolkit_->Attach(*window_, *app_, LongDatePicture(sim_->platform().system));

        const json steps = scenario_.value("steps", json::array());
        if (!steps.is_array())
            throw StepFailure("\"steps\" must be an array");
        for (std::size_t i = 0; i < steps.size(); ++i) {
            try {
                Step(steps[i]);
            } catch (const StepFailure& failure) {
                throw StepFailure("step " + std::to_string(i + 1) + ": " + failure.what());
            }
        }
    }

private:
    toolkit::Form& Form() {
        return window_->Form();
    }
    toolkit::IUserInput& Input() {
        return toolkit_->Input();
    }

    toolkit::Control& ControlNamed(const json& name) {
        if (!name.is_string())
            throw StepFailure("a control name must be a string, found " + Show(name));
        toolkit::Control* control = Form().Find(name.get<std::string>());
        if (control == nullptr)
            throw StepFailure("unknown control \"" + name.get<std::string>() + "\"");
        return *control;
    }

    toolkit::TextBox& TextBoxNamed(const json& name) {
        toolkit::Control& control = ControlNamed(name);
        if (control.Kind() != toolkit::ControlKind::TextBox)
            throw StepFailure("\"" + control.Name() + "\" is not a text box");
        return static_cast<toolkit::TextBox&>(control);
    }

    static const json& Pair(const json& args, const char* step) {
        if (!args.is_array() || args.size() != 2)
            throw StepFailure(std::string("\"") + step + "\" takes [control, value]");
        return args;
    }

    static toolkit::EditCommand MenuCommand(const json& item) {
        static const std::pair<const char*, toolkit::EditCommand> items[] = {
            {"Cut", toolkit::EditCommand::Cut},
            {"Copy", toolkit::EditCommand::Copy},
            {"Paste", toolkit::EditCommand::Paste},
            {"Delete", toolkit::EditCommand::Clear},
            {"Select All", toolkit::EditCommand::SelectAll}};
        for (const auto& [name, command] : items) {
            if (item.is_string() && item.get<std::string>() == name)
                return command;
        }
        throw StepFailure("a menu item is \"Cut\", \"Copy\", \"Paste\", \"Delete\" or "
                          "\"Select All\", found " +
                          Show(item));
    }

    void TypeText(const std::u16string& text) {
        for (char16_t c : text)
            Input().Key(c);
    }

    void Step(const json& step) {
        if (!step.is_object() || step.size() != 1)
            throw StepFailure("a step is an object with one key, found " + Show(step));
        const std::string action = step.begin().key();
        const json& args = step.begin().value();
        if (action == "start") {
            if (started_)
                throw StepFailure("the program was already started");
            started_ = true;
            window_->Start();
        } else if (action == "close") {
            Input().Close();
        } else if (action == "click") {
            Input().Click(ControlNamed(args));
        } else if (action == "focus") {
            Input().Focus(ControlNamed(args));
        } else if (action == "type" && Pair(args, "type")[0].is_string() &&
                   ControlNamed(args[0]).Kind() == toolkit::ControlKind::ComboBox) {
            // Typing into a drop-down list finds an entry.
            if (!args[1].is_string())
                throw StepFailure("\"type\" takes [control, text]");
            Input().Focus(ControlNamed(args[0]));
            TypeText(FromUtf8(args[1].get<std::string>()));
        } else if (action == "type" || action == "replace") {
            const json& pair = Pair(args, action.c_str());
            toolkit::TextBox& box = TextBoxNamed(pair[0]);
            const std::u16string text = FromUtf8(pair[1].get<std::string>());
            Input().Focus(box);
            if (action == "replace" && Form().ActiveControl() == &box) {
                Input().SelectAllWithMouse(box);
                if (text.empty())
                    Input().ContextMenu(box, toolkit::EditCommand::Clear); // no key press
            }
            TypeText(text);
        } else if (action == "key") {
            const json& pair = Pair(args, "key");
            toolkit::Control& control = ControlNamed(pair[0]);
            Input().Focus(control);
            if (!pair[1].is_string())
                throw StepFailure("a key is a string");
            const std::optional<KeyStroke> key = KeyNamed(pair[1].get<std::string>());
            if (!key)
                throw StepFailure("unknown key " + Show(pair[1]));
            if (key->keyCode != 0)
                Input().KeyDown(key->keyCode, key->shift);
            else
                Input().Key(key->character);
        } else if (action == "menu") {
            const json& pair = Pair(args, "menu");
            toolkit::TextBox& box = TextBoxNamed(pair[0]);
            Input().ContextMenu(box, MenuCommand(pair[1]));
        } else if (action == "paste") {
            const json& pair = Pair(args, "paste");
            toolkit::TextBox& box = TextBoxNamed(pair[0]);
            Input().Focus(box);
            if (Form().ActiveControl() == &box)
                Input().Paste(box, FromUtf8(pair[1].get<std::string>()));
        } else if (action == "select") {
            Select(Pair(args, "select"));
        } else if (action == "mouseDown" || action == "mouseUp") {
            const json& pair = Pair(args, action.c_str());
            toolkit::Control& control = ControlNamed(pair[0]);
            const auto button = WholeNumber(pair[1]);
            if (!button)
                throw StepFailure("a mouse button is a number");
            // The button is held, as the keyboard state reports it, from the
            // press to the release.
            const win::BYTE key = *button == toolkit::vbRightButton  ? win::VK_RBUTTON
                                  : *button == toolkit::vbLeftButton ? win::VK_LBUTTON
                                                                     : win::VK_MBUTTON;
            if (action == "mouseDown") {
                sim_->setKeyDown(key, true);
                Input().MouseDown(control, static_cast<int>(*button));
            } else {
                Input().MouseUp(control, static_cast<int>(*button));
                sim_->setKeyDown(key, false);
            }
        } else if (action == "wait") {
            const auto ms = WholeNumber(args);
            if (!ms || *ms < 0)
                throw StepFailure("\"wait\" takes a number of milliseconds");
            Input().Wait(static_cast<int>(*ms));
        } else if (action == "machine") {
            if (connection_ != nullptr)
                throw StepFailure(
                    "\"machine\" changes the simulated computer: not on real servers");
            try {
                sim_->applyPatch(args);
            } catch (const std::exception& error) {
                throw StepFailure(error.what());
            }
        } else if (action == "hook") {
            // What the program running the scenario does between two steps
            // (a test changes a real server there, as another administrator would).
            if (!args.is_string())
                throw StepFailure("\"hook\" takes a name, found " + Show(args));
            const auto hook =
                hooks_ != nullptr ? hooks_->find(args.get<std::string>()) : Hooks::const_iterator{};
            if (hooks_ == nullptr || hook == hooks_->end())
                throw StepFailure("no hook \"" + args.get<std::string>() + "\" here");
            hook->second();
        } else if (action == "clearCalls") {
            sim_->clearCalls();
            sim_->clearWindowMessages();
#ifdef TW_SCENARIO_SAMR
            if (samr_ != nullptr)
                samr_->ClearCalls();
#endif
        } else if (action == "expect") {
            Expect(args);
        } else if (action == "keyboard") {
            Keyboard(args);
        } else if (action == "mouseMove") {
            const auto x =
                args.is_array() && args.size() == 2 ? WholeNumber(args[0]) : std::nullopt;
            const auto y =
                args.is_array() && args.size() == 2 ? WholeNumber(args[1]) : std::nullopt;
            if (!x || !y)
                throw StepFailure("\"mouseMove\" takes [x, y] in screen pixels");
            sim_->mouseMove(static_cast<win::LONG>(*x), static_cast<win::LONG>(*y));
        } else if (action == "system") {
            SystemMessage(args);
        } else {
            throw StepFailure("unknown action \"" + action + "\"");
        }
    }

    // {"key": virtual key (default Alt), "action": "press" (down and up, the
    // default), "down" (held until an "up") or "up"}.
    void Keyboard(const json& args) {
        if (!args.is_object())
            throw StepFailure("\"keyboard\" takes an object, {} for a press of Alt");
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

    void SystemMessage(const json& name) {
        static const std::pair<const char*, win::UINT> messages[] = {
            {"WM_SYSCOLORCHANGE", win::WM_SYSCOLORCHANGE},
            {"WM_SETTINGCHANGE", win::WM_SETTINGCHANGE},
            {"WM_THEMECHANGED", win::WM_THEMECHANGED}};
        for (const auto& [text, message] : messages) {
            if (name.is_string() && name.get<std::string>() == text) {
                sim_->deliverMessage(Form().Handle(), message, 0, 0);
                toolkit_->SystemMessage(message);
                return;
            }
        }
        throw StepFailure("\"system\" takes \"WM_SYSCOLORCHANGE\", \"WM_SETTINGCHANGE\" or "
                          "\"WM_THEMECHANGED\", found " +
                          Show(name));
    }

    void Select(const json& pair) {
        toolkit::Control& control = ControlNamed(pair[0]);
        if (control.Kind() != toolkit::ControlKind::ComboBox)
            throw StepFailure("\"" + control.Name() + "\" is not a list");
        auto& list = static_cast<toolkit::ComboBox&>(control);
        int index = -1;
        if (pair[1].is_string()) {
            const std::u16string wanted = FromUtf8(pair[1].get<std::string>());
            for (int i = 0; i < list.ListCount(); ++i) {
                if (list.List(i) == wanted) {
                    index = i;
                    break;
                }
            }
            if (index < 0)
                throw StepFailure("\"" + control.Name() + "\" has no entry " + Show(pair[1]));
        } else if (const auto number = WholeNumber(pair[1])) {
            index = static_cast<int>(*number);
            if (index < 0 || index >= list.ListCount())
                throw StepFailure("\"" + control.Name() + "\" has no entry " + Show(pair[1]));
        } else {
            throw StepFailure("\"select\" takes an entry's text or index");
        }
        Input().Select(list, index);
    }

    void Expect(const json& expectations) {
        if (!expectations.is_object())
            throw StepFailure("\"expect\" takes an object");
        for (auto it = expectations.begin(); it != expectations.end(); ++it) {
            const json actual = Actual(it.key());
            if (!Matches(it.value(), actual))
                throw StepFailure(it.key() + ": expected " + Show(it.value()) + ", found " +
                                  Show(actual));
        }
    }

    json Actual(const std::string& key) {
        if (key.rfind("Machine.", 0) == 0) {
            try {
                return sim_->query(key.substr(8));
            } catch (const std::exception& error) {
                throw StepFailure(key + ": " + error.what());
            }
        }
        if (key == "Form.Caption")
            return ToUtf8(Form().Caption());
        if (key == "Form.Enabled")
            return Form().Enabled();
        if (key == "Form.Visible")
            return Form().Visible();
        if (key == "Form.ActiveControl")
            return Form().ActiveControl() ? json(Form().ActiveControl()->Name()) : json(nullptr);
        if (key == "Screen.MousePointer")
            return app_->MousePointer() == toolkit::MousePointer::Hourglass ? "hourglass"
                                                                            : "default";
        if (key == "App.MessageBoxes") {
            json boxes = json::array();
            for (const auto& box : app_->MessageBoxes())
                boxes.push_back({{"text", ToUtf8(box.Text)},
                                 {"title", ToUtf8(box.Title)},
                                 {"style", box.Style}});
            return boxes;
        }
        if (key == "App.Beeps")
            return app_->Beeps();
        if (key == "App.Ended")
            return app_->Ended();
        if (key == "App.Clipboard")
            return ToUtf8(Form().Clipboard);
#ifdef TW_SCENARIO_SAMR
        if (samr_ != nullptr && key == "Platform.Calls")
            return samr_->Calls();
        if (samr_ != nullptr && key == "Platform.OutstandingBuffers")
            return samr_->OutstandingBuffers();
#endif
        if (key == "Platform.Calls")
            return sim_->calls();
        if (key == "Platform.OutstandingBuffers")
            return sim_->outstandingBuffers();
        if (key == "Platform.WindowMessages")
            return sim_->windowMessages();
        if (key == "Platform.Hooks")
            return sim_->hooks();
        if (key == "Platform.LiveIcons")
            return sim_->liveIcons();
        if (key == "Platform.OpenThemes")
            return sim_->openThemes();
        if (key == "Platform.WindowIcons") {
            auto icon = [&](bool big) {
                const std::string size = sim_->windowIcon(Form().Handle(), big);
                return size.empty() ? json(nullptr) : json(size);
            };
            return json{{"small", icon(false)}, {"big", icon(true)}};
        }
        if (key == "Form.BackColor")
            return Form().BackColor();
        if (key == "Form.ForeColor")
            return Form().ForeColor();
        if (key == "Form.CuesShown")
            return window_->AreCuesShown();
        if (key == "Form.KeyboardCues")
            return Form().KeyboardCues();
        const auto dot = key.rfind('.');
        if (dot == std::string::npos)
            throw StepFailure("unknown expectation \"" + key + "\"");
        toolkit::Control& control = ControlNamed(json(key.substr(0, dot)));
        const std::string property = key.substr(dot + 1);
        const std::optional<json> value = ReadProperty(control, property, *toolkit_);
        if (!value)
            throw StepFailure("unknown property \"" + property + "\" of \"" + control.Name() +
                              "\"");
        return *value;
    }

    const json& scenario_;
    ToolkitFactory makeToolkit_;
    const samr::SamrConnection* connection_;
    const Hooks* hooks_;
    std::unique_ptr<sim::SimPlatform> sim_;
#ifdef TW_SCENARIO_SAMR
    std::unique_ptr<samr::SamrNetApi> samr_;
#endif
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
