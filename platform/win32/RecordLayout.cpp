// The program reads the buffers that netapi32 and kernel32 fill through the
// records of platform/WinTypes.h. They must be the SDK's records in every
// size and offset, on every architecture the program is built for.
#include "platform/WinTypes.h"

#include "WinHeaders.h"

#include <cstddef>

namespace {

namespace w = tw::win;

#define TW_SAME_SIZE(type)                                                                         \
    static_assert(sizeof(w::type) == sizeof(::type), #type " has the SDK's size");                 \
    static_assert(alignof(w::type) == alignof(::type), #type " has the SDK's alignment")

#define TW_SAME_FIELD(type, field)                                                                 \
    static_assert(offsetof(w::type, field) == offsetof(::type, field) &&                           \
                      sizeof(w::type::field) == sizeof(::type::field),                             \
                  #type "." #field " lies where the SDK puts it")

// Scalar types: the program's DWORD is uint32_t where the SDK's is unsigned long.
static_assert(sizeof(w::BYTE) == sizeof(::BYTE));
static_assert(sizeof(w::WORD) == sizeof(::WORD));
static_assert(sizeof(w::DWORD) == sizeof(::DWORD));
static_assert(sizeof(w::LONG) == sizeof(::LONG));
static_assert(sizeof(w::BOOL) == sizeof(::BOOL));
static_assert(sizeof(w::UINT) == sizeof(::UINT));
static_assert(sizeof(w::LANGID) == sizeof(::LANGID));
static_assert(sizeof(w::LCID) == sizeof(::LCID));
static_assert(sizeof(w::WCHAR) == sizeof(::WCHAR));
static_assert(sizeof(w::HANDLE) == sizeof(::HANDLE));
static_assert(sizeof(w::HKEY) == sizeof(::HKEY));
static_assert(sizeof(w::ULONG_PTR) == sizeof(::ULONG_PTR));
static_assert(sizeof(w::NET_API_STATUS) == sizeof(::NET_API_STATUS));
static_assert(sizeof(w::LSTATUS) == sizeof(::LSTATUS));

TW_SAME_SIZE(USER_INFO_0);
TW_SAME_FIELD(USER_INFO_0, usri0_name);

TW_SAME_SIZE(USER_INFO_3);
TW_SAME_FIELD(USER_INFO_3, usri3_name);
TW_SAME_FIELD(USER_INFO_3, usri3_password);
TW_SAME_FIELD(USER_INFO_3, usri3_password_age);
TW_SAME_FIELD(USER_INFO_3, usri3_priv);
TW_SAME_FIELD(USER_INFO_3, usri3_home_dir);
TW_SAME_FIELD(USER_INFO_3, usri3_comment);
TW_SAME_FIELD(USER_INFO_3, usri3_flags);
TW_SAME_FIELD(USER_INFO_3, usri3_script_path);
TW_SAME_FIELD(USER_INFO_3, usri3_auth_flags);
TW_SAME_FIELD(USER_INFO_3, usri3_full_name);
TW_SAME_FIELD(USER_INFO_3, usri3_usr_comment);
TW_SAME_FIELD(USER_INFO_3, usri3_parms);
TW_SAME_FIELD(USER_INFO_3, usri3_workstations);
TW_SAME_FIELD(USER_INFO_3, usri3_last_logon);
TW_SAME_FIELD(USER_INFO_3, usri3_last_logoff);
TW_SAME_FIELD(USER_INFO_3, usri3_acct_expires);
TW_SAME_FIELD(USER_INFO_3, usri3_max_storage);
TW_SAME_FIELD(USER_INFO_3, usri3_units_per_week);
TW_SAME_FIELD(USER_INFO_3, usri3_logon_hours);
TW_SAME_FIELD(USER_INFO_3, usri3_bad_pw_count);
TW_SAME_FIELD(USER_INFO_3, usri3_num_logons);
TW_SAME_FIELD(USER_INFO_3, usri3_logon_server);
TW_SAME_FIELD(USER_INFO_3, usri3_country_code);
TW_SAME_FIELD(USER_INFO_3, usri3_code_page);
TW_SAME_FIELD(USER_INFO_3, usri3_user_id);
TW_SAME_FIELD(USER_INFO_3, usri3_primary_group_id);
TW_SAME_FIELD(USER_INFO_3, usri3_profile);
TW_SAME_FIELD(USER_INFO_3, usri3_home_dir_drive);
TW_SAME_FIELD(USER_INFO_3, usri3_password_expired);

TW_SAME_SIZE(USER_INFO_20);
TW_SAME_FIELD(USER_INFO_20, usri20_name);
TW_SAME_FIELD(USER_INFO_20, usri20_full_name);
TW_SAME_FIELD(USER_INFO_20, usri20_comment);
TW_SAME_FIELD(USER_INFO_20, usri20_flags);
TW_SAME_FIELD(USER_INFO_20, usri20_user_id);

TW_SAME_SIZE(USER_INFO_1008);
TW_SAME_FIELD(USER_INFO_1008, usri1008_flags);

TW_SAME_SIZE(USER_MODALS_INFO_0);
TW_SAME_FIELD(USER_MODALS_INFO_0, usrmod0_min_passwd_len);
TW_SAME_FIELD(USER_MODALS_INFO_0, usrmod0_max_passwd_age);
TW_SAME_FIELD(USER_MODALS_INFO_0, usrmod0_min_passwd_age);
TW_SAME_FIELD(USER_MODALS_INFO_0, usrmod0_force_logoff);
TW_SAME_FIELD(USER_MODALS_INFO_0, usrmod0_password_hist_len);

TW_SAME_SIZE(USER_MODALS_INFO_3);
TW_SAME_FIELD(USER_MODALS_INFO_3, usrmod3_lockout_duration);
TW_SAME_FIELD(USER_MODALS_INFO_3, usrmod3_lockout_observation_window);
TW_SAME_FIELD(USER_MODALS_INFO_3, usrmod3_lockout_threshold);

TW_SAME_SIZE(OSVERSIONINFOA);
TW_SAME_FIELD(OSVERSIONINFOA, dwOSVersionInfoSize);
TW_SAME_FIELD(OSVERSIONINFOA, dwMajorVersion);
TW_SAME_FIELD(OSVERSIONINFOA, dwMinorVersion);
TW_SAME_FIELD(OSVERSIONINFOA, dwBuildNumber);
TW_SAME_FIELD(OSVERSIONINFOA, dwPlatformId);
TW_SAME_FIELD(OSVERSIONINFOA, szCSDVersion);

TW_SAME_SIZE(CHARSETINFO);
TW_SAME_FIELD(CHARSETINFO, ciCharset);
TW_SAME_FIELD(CHARSETINFO, ciACP);
// The SDK nests the font signature in a record of its own.
static_assert(offsetof(w::CHARSETINFO, fsUsb) ==
              offsetof(::CHARSETINFO, fs) + offsetof(::FONTSIGNATURE, fsUsb));
static_assert(offsetof(w::CHARSETINFO, fsCsb) ==
              offsetof(::CHARSETINFO, fs) + offsetof(::FONTSIGNATURE, fsCsb));
static_assert(sizeof(w::CHARSETINFO::fsUsb) + sizeof(w::CHARSETINFO::fsCsb) ==
              sizeof(::FONTSIGNATURE));

} // namespace
