// libpq, bound when the first server database is opened rather than linked:
// a process on the embedded database never pays for loading it and the
// libraries it pulls in (TLS, Kerberos, LDAP).
#pragma once
#include <libpq-fe.h>

namespace vemo::host {

// The libpq functions the server connection calls. Each pointer is set.
struct PqLibrary {
  decltype(&PQconnectdbParams) connectdbParams;
  decltype(&PQstatus) status;
  decltype(&PQerrorMessage) errorMessage;
  decltype(&PQfinish) finish;
  decltype(&PQexec) exec;
  decltype(&PQexecParams) execParams;
  decltype(&PQsendQueryParams) sendQueryParams;
  decltype(&PQsetSingleRowMode) setSingleRowMode;
  decltype(&PQgetResult) getResult;
  decltype(&PQresultStatus) resultStatus;
  decltype(&PQresultErrorMessage) resultErrorMessage;
  decltype(&PQclear) clear;
  decltype(&PQntuples) ntuples;
  decltype(&PQnfields) nfields;
  decltype(&PQfname) fname;
  decltype(&PQftype) ftype;
  decltype(&PQgetvalue) getvalue;
  decltype(&PQgetlength) getlength;
  decltype(&PQgetisnull) getisnull;
  decltype(&PQunescapeBytea) unescapeBytea;
  decltype(&PQfreemem) freemem;
  decltype(&PQcmdTuples) cmdTuples;
  decltype(&PQresultErrorField) resultErrorField;
};

// Loads libpq on the first call; raises HostError saying which package to
// install when it is missing or lacks one of the functions.
const PqLibrary& Pq();

// Starts loading libpq on a thread of its own, for a process that knows it
// will talk to a server: loading it and the libraries it brings takes a few
// milliseconds that can pass while the process reads its request. A failure
// is left for Pq() to report. The process waits for the load at its end.
void LoadPqInBackground();

}  // namespace vemo::host
