// What this Linux computer tells about itself in Windows' terms: the running
// user, the computer name, and the language of the user's locale.
#pragma once

#include "platform/WinTypes.h"

#include <string>

namespace tw::lx {

// The language identifier (LANGID) of a POSIX locale name such as
// "de_DE.UTF-8": German (Germany) 1031. A territory this does not know gives
// the language's default; "C", "POSIX", an empty or unknown name give
// English (United States) 1033.
win::LANGID LanguageOfLocale(const std::string& locale);
// The locale that decides the language of messages: LC_ALL, LC_MESSAGES,
// LANG, the first one set and not empty.
std::string MessagesLocale();

std::string RunningUserName();
std::string HostName();

} // namespace tw::lx
