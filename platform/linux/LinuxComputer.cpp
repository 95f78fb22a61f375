#include "LinuxComputer.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace tw::lx {

namespace {

struct Language {
    const char* name; // ISO 639 code, or code and territory
    win::LANGID id;
};

// Languages with their default territory, then the territories that have a
// LANGID of their own.
constexpr Language kLanguages[] = {
    {"cs", 0x0405},    {"da", 0x0406},    {"de", 0x0407},    {"el", 0x0408},    {"en", 0x0409},
    {"es", 0x0C0A},    {"fi", 0x040B},    {"fr", 0x040C},    {"hu", 0x040E},    {"it", 0x0410},
    {"ja", 0x0411},    {"ko", 0x0412},    {"nl", 0x0413},    {"nb", 0x0414},    {"no", 0x0414},
    {"pl", 0x0415},    {"pt", 0x0816},    {"ru", 0x0419},    {"sv", 0x041D},    {"tr", 0x041F},
    {"zh", 0x0804},    {"de_AT", 0x0C07}, {"de_CH", 0x0807}, {"de_LU", 0x1007}, {"en_AU", 0x0C09},
    {"en_CA", 0x1009}, {"en_GB", 0x0809}, {"en_IE", 0x1809}, {"en_NZ", 0x1409}, {"es_MX", 0x080A},
    {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"it_CH", 0x0810}, {"nl_BE", 0x0813},
    {"pt_BR", 0x0416}, {"zh_HK", 0x0C04}, {"zh_TW", 0x0404},
};
constexpr win::LANGID kEnglishUnitedStates = 0x0409;

const Language* find(const std::string& name) {
    for (const auto& language : kLanguages) {
        if (name == language.name)
            return &language;
    }
    return nullptr;
}

} // namespace

win::LANGID LanguageOfLocale(const std::string& locale) {
    // language[_territory][.codeset][@modifier]
    const std::string name = locale.substr(0, locale.find_first_of(".@"));
    const std::string language = name.substr(0, name.find('_'));
    if (const Language* exact = find(name))
        return exact->id;
    if (const Language* primary = find(language))
        return primary->id;
    return kEnglishUnitedStates;
}

std::string MessagesLocale() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return {};
}

std::string RunningUserName() {
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr ? std::string(entry->pw_name) : std::string();
}

std::string HostName() {
    char host[256] = {};
    return gethostname(host, sizeof host - 1) == 0 ? std::string(host) : std::string();
}

} // namespace tw::lx
