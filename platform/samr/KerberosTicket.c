#include "KerberosTicket.h"

#include <krb5.h>
#include <string.h>
#include <time.h>

tw_ticket_state tw_kerberos_ticket_state(long long now, char* principal, size_t size) {
    if (principal != NULL && size > 0)
        principal[0] = '\0';
    krb5_context context = NULL;
    if (krb5_init_context(&context) != 0)
        return TW_TICKET_NONE;
    tw_ticket_state state = TW_TICKET_NONE;
    krb5_ccache cache = NULL;
    krb5_principal client = NULL;
    krb5_cc_cursor cursor = NULL;
    if (krb5_cc_default(context, &cache) != 0)
        goto done;
    if (krb5_cc_get_principal(context, cache, &client) != 0)
        goto done;
    char* name = NULL;
    if (principal != NULL && size > 0 && krb5_unparse_name(context, client, &name) == 0) {
        strncpy(principal, name, size - 1);
        principal[size - 1] = '\0';
        krb5_free_unparsed_name(context, name);
    }
    if (krb5_cc_start_seq_get(context, cache, &cursor) != 0)
        goto done;
    krb5_creds creds;
    while (krb5_cc_next_cred(context, cache, &cursor, &creds) == 0) {
        /* The cache's own settings are stored as tickets too: not tickets. */
        if (!krb5_is_config_principal(context, creds.server)) {
            if ((long long)creds.times.endtime > now)
                state = TW_TICKET_USABLE;
            else if (state == TW_TICKET_NONE)
                state = TW_TICKET_EXPIRED;
        }
        krb5_free_cred_contents(context, &creds);
    }
    krb5_cc_end_seq_get(context, cache, &cursor);
done:
    if (client != NULL)
        krb5_free_principal(context, client);
    if (cache != NULL)
        krb5_cc_close(context, cache);
    krb5_free_context(context);
    return state;
}

int tw_kerberos_default_realm(char* realm, size_t size) {
    if (realm == NULL || size == 0)
        return 0;
    realm[0] = '\0';
    krb5_context context = NULL;
    if (krb5_init_context(&context) != 0)
        return 0;
    char* name = NULL;
    if (krb5_get_default_realm(context, &name) == 0 && name != NULL) {
        strncpy(realm, name, size - 1);
        realm[size - 1] = '\0';
        krb5_free_default_realm(context, name);
    }
    krb5_free_context(context);
    return realm[0] != '\0';
}

int tw_kerberos_clock_offset(const char* user, const char* realm, const char* password,
                             long long* seconds) {
    krb5_context context = NULL;
    if (user == NULL || realm == NULL || password == NULL || krb5_init_context(&context) != 0)
        return 0;
    int known = 0;
    krb5_principal client = NULL;
    krb5_creds creds;
    memset(&creds, 0, sizeof creds);
    if (krb5_build_principal(context, &client, (unsigned)strlen(realm), realm, user, NULL) == 0 &&
        krb5_get_init_creds_password(context, &creds, client, password, NULL, NULL, 0, NULL,
                                     NULL) == 0) {
        /* The ticket's start is the KDC's clock. */
        *seconds = (long long)creds.times.authtime - (long long)time(NULL);
        known = 1;
        krb5_free_cred_contents(context, &creds);
    }
    if (client != NULL)
        krb5_free_principal(context, client);
    krb5_free_context(context);
    return known;
}
