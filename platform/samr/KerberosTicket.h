/* Whether the Kerberos ticket cache that a sign-in with a ticket uses (the
   default one, KRB5CCNAME) holds a ticket that is still good, and the realm
   a bare user name signs in to. Plain C, as the Kerberos library's headers
   are. */
#ifndef TW_KERBEROS_TICKET_H
#define TW_KERBEROS_TICKET_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    TW_TICKET_USABLE = 0,  /* a ticket that has not yet expired */
    TW_TICKET_NONE = 1,    /* no cache, or no ticket in it */
    TW_TICKET_EXPIRED = 2, /* tickets, all of them expired */
} tw_ticket_state;

/* `now` in seconds since 1970; the cache's principal goes into `principal`
   (empty when there is none). */
tw_ticket_state tw_kerberos_ticket_state(long long now, char* principal, size_t size);

/* The default realm of the Kerberos configuration (krb5.conf) into `realm`;
   0 when it names none. */
int tw_kerberos_default_realm(char* realm, size_t size);

/* How far the KDC's clock is ahead of this computer's, in `seconds`: read
   from the start of a ticket got with the password (kept in memory, never
   stored). 0 when no ticket could be had. Only for a password the KDC has
   taken already: a wrong one would count as a bad logon. */
int tw_kerberos_clock_offset(const char* user, const char* realm, const char* password,
                             long long* seconds);

#ifdef __cplusplus
}
#endif

#endif
