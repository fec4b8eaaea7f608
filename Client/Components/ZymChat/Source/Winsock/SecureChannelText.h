#ifndef ZYM_SECURECHANNELTEXT_H
#define ZYM_SECURECHANNELTEXT_H

#define SECURITY_WIN32
#include <windows.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>

#include "ZymString.h"

// "TLS 1.2, cipher AES 256-bit, hash SHA-384, key exchange ECDH": what a
// secure channel negotiated, in words for the diagnostic log.
ZymString DescribeSecureChannel(const SecPkgContext_ConnectionInfo& info);

#endif
