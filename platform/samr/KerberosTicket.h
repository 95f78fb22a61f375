/* Whether the Kerberos ticket cache that a sign-in with a ticket uses (the
   default one, KRB5CCNAME) holds a ticket that is still good. Plain C, as the
   Kerberos library's headers are. */
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

#ifdef __cplusplus
}
#endif

#endif
