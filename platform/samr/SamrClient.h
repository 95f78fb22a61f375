/* The account calls of a server's SAM, over MS-SAMR, as plain C: the only
   code that sees Samba's headers is SamrClient.c. Every function returns the
   server's or the connection's NTSTATUS (0 = success); texts are UTF-8. */
#ifndef TW_SAMR_CLIENT_H
#define TW_SAMR_CLIENT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tw_samr_session tw_samr_session;

typedef struct {
    const char* host;     /* a name or an address */
    int port;             /* the SMB port; 0: 445 */
    const char* user;     /* null: the name of the running user */
    const char* domain;   /* null or empty: the server's own */
    const char* password; /* with kerberos: null for the ticket cache */
    int kerberos;         /* sign in with Kerberos */
    int answer_seconds;   /* 0: TW_SAMR_ANSWER_SECONDS */
} tw_samr_target;

/* How long the connection, and then each call, may wait for the server's
   answer before it is given up (NT_STATUS_IO_TIMEOUT). */
#define TW_SAMR_ANSWER_SECONDS 20

/* Signs in and opens the server's account domain and its Builtin domain. */
uint32_t tw_samr_connect(const tw_samr_target* target, tw_samr_session** session);
void tw_samr_disconnect(tw_samr_session* session);

/* Every account whose bits match acb_mask, asking the server for pages of
   about page_bytes; each name and relative ID goes to the sink in the
   server's order. A non-zero return of the sink stops the listing with that
   status. */
typedef uint32_t (*tw_samr_name_sink)(void* context, const char* name, uint32_t rid);
uint32_t tw_samr_enum_users(tw_samr_session* session, uint32_t acb_mask, uint32_t page_bytes,
                            tw_samr_name_sink sink, void* context);

typedef struct {
    const char* text; /* null when the server sent none */
} tw_samr_text;

/* One account, as the server holds it. Times are NTTIME (100 ns since 1601). */
typedef struct {
    tw_samr_text name, full_name, home_directory, home_drive, logon_script, profile_path,
        description, workstations, comment;
    const uint8_t* parameters;
    size_t parameters_bytes;
    uint64_t last_logon, last_logoff, last_password_change, acct_expiry;
    uint32_t rid, primary_gid, acct_flags;
    const uint8_t* logon_hours; /* units_per_week bits, or null */
    uint16_t units_per_week;
    uint16_t bad_password_count, logon_count, country_code, code_page;
    uint8_t password_expired;
    int cant_change_password;        /* nobody is granted the change-password right */
    /* The server's descriptor of the account has no DACL: the right is kept
       where SAMR does not reach (a Samba AD DC keeps it in the directory),
       and cant_change_password says nothing. */
    int dacl_missing;
    uint32_t builtin_alias_rids[16]; /* the Builtin aliases the account is in */
    size_t builtin_alias_count;
    void* memory; /* owns the texts and bytes above */
} tw_samr_user;

uint32_t tw_samr_query_user(tw_samr_session* session, const char* name, tw_samr_user* user);
void tw_samr_user_free(tw_samr_user* user);

/* The account with that relative ID as a listing needs it: its name, full
   name, description, relative ID, account bits and expired-password mark
   (UserAllInformation, as tw_samr_query_user reads them), the rest zero.
   Free it with tw_samr_user_free. */
uint32_t tw_samr_query_listed_user(tw_samr_session* session, uint32_t rid, tw_samr_user* user);

/* The server's display information of its normal accounts (QueryDisplayInfo,
   DomainDisplayUser), in pages of about page_bytes: each account's name,
   full name, description, relative ID and account bits go to the sink (in a
   tw_samr_user with the rest zero, valid only during the call). What a server
   puts into the bits differs: a standalone Samba server fills them, a Samba
   AD domain controller leaves them 0. A non-zero return of the sink stops
   the listing with that status. */
typedef uint32_t (*tw_samr_display_sink)(void* context, const tw_samr_user* user);
uint32_t tw_samr_query_display(tw_samr_session* session, uint32_t page_bytes,
                               tw_samr_display_sink sink, void* context);

/* Sets the account's bits and, when cant_change_password is 0 or 1, grants or
   withdraws the change-password right of everyone and of the account itself
   in the DACL of the account's SAMR descriptor (refused with 0xC000000D
   where it has none); when password_expired is 0 or 1, the password stops or
   starts being expired. */
uint32_t tw_samr_set_user(tw_samr_session* session, const char* name, uint32_t acb_flags,
                          int cant_change_password, int password_expired);

/* The domain's policy: NT intervals are negative counts of 100 ns. */
typedef struct {
    uint16_t min_password_length, password_history_length;
    uint32_t password_properties;
    int64_t max_password_age, min_password_age;
    uint64_t force_logoff_time;
    uint64_t lockout_duration, lockout_window;
    uint16_t lockout_threshold;
} tw_samr_policy;

uint32_t tw_samr_query_policy(tw_samr_session* session, tw_samr_policy* policy);
/* The parts of the domain's policy, one request each, in this order: the
   password lengths and ages (level 0 of the modals without the forced
   logoff), the forced logoff, the lockout (level 3). Only the named parts
   are sent; at the first the server refuses, *refused names it. */
enum { TW_SAMR_PASSWORD_PART = 1, TW_SAMR_LOGOFF_PART = 2, TW_SAMR_LOCKOUT_PART = 4 };
uint32_t tw_samr_set_policy(tw_samr_session* session, const tw_samr_policy* policy, unsigned parts,
                            unsigned* refused);

/* Called on the calling thread just before each request goes to a server,
   with its SAMR operation number; tests freeze a server there. NULL: none. */
typedef void (*tw_samr_request_observer)(void* context, uint32_t opnum);
void tw_samr_observe_requests(tw_samr_request_observer observer, void* context);

/* Samba's own translation of a status to a Windows error, for statuses the
   caller has no better answer for. */
uint32_t tw_samr_status_to_win32(uint32_t status);

#ifdef __cplusplus
}
#endif

#endif
