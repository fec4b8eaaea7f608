#ifndef ZYM_SERVERCERTIFICATECHECK_H
#define ZYM_SERVERCERTIFICATECHECK_H

#include <windows.h>
#include <wincrypt.h>

#include "ZymString.h"

// Whether a server's certificate may be trusted for a host name: its chain
// must reach a root the machine trusts for server authentication with no
// error anywhere in the chain, and the SSL policy must accept it for that
// name. Both are needed: the policy alone passes a lone certificate from an
// unknown authority on some systems. On refusal, *pReason says why.
bool CheckServerCertificate(PCCERT_CONTEXT pCertificate, const char* pszHostName,
                            ZymString* pReason);

#endif
