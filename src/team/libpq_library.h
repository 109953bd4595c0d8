// libpq, loaded when the team store is first used: the commands that never reach the server do
// not pay for loading it and the libraries it brings (TLS, Kerberos, LDAP) at every start.
#pragma once

#include <libpq-fe.h>

#include "core/result.h"

namespace nlx::team::pg {

#define NLX_LIBPQ_FUNCTIONS(X)                                                                         \
    X(PQcancel) X(PQclear) X(PQconnectPoll) X(PQconnectStartParams) X(PQconnectionNeedsPassword)       \
    X(PQconninfo) X(PQconninfoFree) X(PQconninfoParse) X(PQdb) X(PQerrorMessage) X(PQexecParams)        \
    X(PQfinish) X(PQfreeCancel) X(PQfreemem) X(PQgetCancel) X(PQgetisnull) X(PQgetlength) X(PQgetvalue) \
    X(PQhost) X(PQntuples) X(PQpingParams) X(PQport) X(PQresultErrorField) X(PQresultErrorMessage)      \
    X(PQresultStatus) X(PQserverVersion) X(PQsetNoticeProcessor) X(PQsocket) X(PQstatus) X(PQuser)

// The library's functions, under their own names.
struct Libpq {
#define NLX_LIBPQ_MEMBER(name) decltype(&::name) name = nullptr;
    NLX_LIBPQ_FUNCTIONS(NLX_LIBPQ_MEMBER)
#undef NLX_LIBPQ_MEMBER
};

// The library, loaded on the first call and kept for the process; the failure names the library
// and its Debian package.
const Result<Libpq>& libpq();

}  // namespace nlx::team::pg
