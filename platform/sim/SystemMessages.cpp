#include "SystemMessages.h"

#include <algorithm>
#include <iterator>

namespace tw::sim {

namespace {

struct Message {
    std::uint32_t code;
    const char16_t* text;
};

// Sorted by code.
constexpr Message kMessages[] = {
    {0, u"The operation completed successfully.\r\n"},
    {1, u"Incorrect function.\r\n"},
    {2, u"The system cannot find the file specified.\r\n"},
    {3, u"The system cannot find the path specified.\r\n"},
    {4, u"The system cannot open the file.\r\n"},
    {5, u"Access is denied.\r\n"},
    {6, u"The handle is invalid.\r\n"},
    {8, u"Not enough memory resources are available to process this command.\r\n"},
    {13, u"The data is invalid.\r\n"},
    {14, u"Not enough memory resources are available to complete this operation.\r\n"},
    {18, u"There are no more files.\r\n"},
    {32, u"The process cannot access the file because it is being used by another process.\r\n"},
    {50, u"The request is not supported.\r\n"},
    {53, u"The network path was not found.\r\n"},
    {65, u"Network access is denied.\r\n"},
    {67, u"The network name cannot be found.\r\n"},
    {87, u"The parameter is incorrect.\r\n"},
    {111, u"The file name is too long.\r\n"},
    {120, u"This function is not supported on this system.\r\n"},
    {122, u"The data area passed to a system call is too small.\r\n"},
    {124, u"The system call level is not correct.\r\n"},
    {127, u"The specified procedure could not be found.\r\n"},
    {161, u"The specified path is invalid.\r\n"},
    {183, u"Cannot create a file when that file already exists.\r\n"},
    {234, u"More data is available.\r\n"},
    {259, u"No more data is available.\r\n"},
    {317, u"The system cannot find message text for message number 0x%1 in the message file for "
          u"%2.\r\n"},
    {998, u"Invalid access to memory location.\r\n"},
    {1004, u"Invalid flags.\r\n"},
    {1018, u"Illegal operation attempted on a registry key that has been marked for deletion.\r\n"},
    {1168, u"Element not found.\r\n"},
    {1311, u"There are currently no logon servers available to service the logon request.\r\n"},
    {1312, u"A specified logon session does not exist. It may already have been terminated.\r\n"},
    {1326, u"The user name or password is incorrect.\r\n"},
    {1327, u"Account restrictions are preventing this user from signing in. For example: blank "
           u"passwords aren't allowed, sign-in times are limited, or a policy restriction has been "
           u"enforced.\r\n"},
    {1328, u"Your account has time restrictions that keep you from signing in right now.\r\n"},
    {1329, u"This user isn't allowed to sign in to this computer.\r\n"},
    {1330, u"The password for this account has expired.\r\n"},
    {1331, u"This user can't sign in because this account is currently disabled.\r\n"},
    {1332, u"No mapping between account names and security IDs was done.\r\n"},
    {1338, u"The security descriptor structure is invalid.\r\n"},
    {1355, u"The specified domain either does not exist or could not be contacted.\r\n"},
    {1359, u"An internal error occurred.\r\n"},
    {1385, u"Logon failure: the user has not been granted the requested logon type at this "
           u"computer.\r\n"},
    {1398, u"There is a time and/or date difference between the client and server.\r\n"},
    {1722, u"The RPC server is unavailable.\r\n"},
    {1726, u"The remote procedure call failed.\r\n"},
    {1727, u"The remote procedure call failed and did not execute.\r\n"},
    {1793, u"The user's account has expired.\r\n"},
    {1907, u"The user's password must be changed before signing in.\r\n"},
    {1909, u"The referenced account is currently locked out and may not be logged on to.\r\n"},
    {15100, u"The specified resource language ID cannot be found in the image file.\r\n"},
    {0x8009030E, u"No credentials are available in the security package\r\n"},
    {0x80090317, u"The context has expired and can no longer be used.\r\n"},
    {0x80090322, u"The target principal name is incorrect.\r\n"},
};

static_assert(std::is_sorted(std::begin(kMessages), std::end(kMessages),
                             [](const Message& a, const Message& b) { return a.code < b.code; }));

} // namespace

const char16_t* systemMessage(std::uint32_t code) {
    auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                               [](const Message& m, std::uint32_t c) { return m.code < c; });
    return it != std::end(kMessages) && it->code == code ? it->text : nullptr;
}

} // namespace tw::sim
