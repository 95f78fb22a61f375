// The right to change one's own password as an Active Directory user
// object's DACL holds it: the control-access right "User-Change-Password"
// (ab721a53-1e2f-11d0-9819-00aa0040529b) of Everyone (S-1-1-0) and of SELF
// (S-1-5-10), in the object ACEs of a self-relative security descriptor (the
// bytes of nTSecurityDescriptor). Plain bytes in and out; a descriptor that
// does not hold together is refused, never read past its end.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tw::samr {

// Whether the DACL denies the right: an access-denied object ACE for
// Everyone or for SELF covering it (as Windows reads "user cannot change
// password"). Nothing when the descriptor is malformed; false when it has no
// DACL (nothing is denied).
std::optional<bool> PasswordChangeDenied(std::span<const std::uint8_t> descriptor);

// A descriptor with the same DACL but for the right: denied, the deny ACEs
// of Everyone and SELF first and their explicit allow ACEs of the right
// gone (what Active Directory Users and Computers writes); or granted, their
// explicit deny ACEs of the right gone and an allow ACE for each that has
// none, after the explicit ACEs. Every other ACE is kept byte for byte and
// in its order. The result carries the DACL alone (owner, group and SACL
// offsets zero): it is written with the DACL-only SD-flags control. Nothing
// when the descriptor is malformed or has no DACL (a right cannot be denied
// in a DACL that is not there without denying all else).
std::optional<std::vector<std::uint8_t>>
WithPasswordChange(std::span<const std::uint8_t> descriptor, bool denied);

} // namespace tw::samr
