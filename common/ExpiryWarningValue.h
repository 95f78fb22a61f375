// Where Windows keeps the password expiry warning of this computer: the days
// before a password expires that the logon starts warning, a DWORD under
// HKEY_LOCAL_MACHINE.
#pragma once

#include <string>

namespace tw {

inline const std::u16string kWinlogonKey =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline const std::u16string kExpiryWarningValue = u"PasswordExpiryWarning";

} // namespace tw
