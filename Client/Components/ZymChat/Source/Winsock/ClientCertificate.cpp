#include "ClientCertificate.h"

#include <cstdio>

#include "CertificateThumbprint.h"
#include "ZymString.h"

namespace
{
    // One system store, opened to read and closed on every way out; the
    // certificate found in it keeps what it needs of the store by itself.
    class SystemStore
    {
    public:
        explicit SystemStore(DWORD nLocation)
            : m_hStore(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                     nLocation | CERT_STORE_OPEN_EXISTING_FLAG |
                                         CERT_STORE_READONLY_FLAG,
                                     L"MY"))
        {
        }
        ~SystemStore()
        {
            if (m_hStore != nullptr)
                CertCloseStore(m_hStore, 0);
        }
        SystemStore(const SystemStore&) = delete;
        SystemStore& operator=(const SystemStore&) = delete;

        PCCERT_CONTEXT Find(const CertificateThumbprint& thumbprint) const
        {
            if (m_hStore == nullptr)
                return nullptr;
            CRYPT_HASH_BLOB hash = {CertificateThumbprint::kSize,
                                    const_cast<BYTE*>(thumbprint.Bytes())};
            return CertFindCertificateInStore(m_hStore, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                              CERT_FIND_SHA1_HASH, &hash, nullptr);
        }

    private:
        HCERTSTORE m_hStore;
    };

    struct Location
    {
        DWORD nStore;
        const char* pszName;
    };
}

ClientCertificate::ClientCertificate() : m_pContext(nullptr)
{
}

ClientCertificate::~ClientCertificate()
{
    if (m_pContext != nullptr)
        CertFreeCertificateContext(m_pContext);
}

SocketResult ClientCertificate::Find(const CertificateThumbprint& thumbprint, ZymString* pReason)
{
    if (m_pContext != nullptr)
    {
        CertFreeCertificateContext(m_pContext);
        m_pContext = nullptr;
    }
    const Location locations[] = {
        {CERT_SYSTEM_STORE_CURRENT_USER, "the current user's MY store"},
        {CERT_SYSTEM_STORE_LOCAL_MACHINE, "the local machine's MY store"},
    };
    const char* pszWhere = nullptr;
    for (const Location& location : locations)
    {
        m_pContext = SystemStore(location.nStore).Find(thumbprint);
        if (m_pContext != nullptr)
        {
            pszWhere = location.pszName;
            break;
        }
    }
    if (m_pContext == nullptr)
    {
        *pReason = "it is in neither the current user's nor the local machine's MY store";
        return ZymClientCertificateNotFound;
    }
    // Cached with the certificate, the key is released with it. A key that
    // would need the user to answer a prompt cannot serve a connection made
    // in the background.
    HCRYPTPROV_OR_NCRYPT_KEY_HANDLE hKey = 0;
    DWORD nKeySpec = 0;
    BOOL bCallerFrees = FALSE;
    if (!CryptAcquireCertificatePrivateKey(m_pContext,
                                           CRYPT_ACQUIRE_CACHE_FLAG | CRYPT_ACQUIRE_SILENT_FLAG |
                                               CRYPT_ACQUIRE_ALLOW_NCRYPT_KEY_FLAG,
                                           nullptr, &hKey, &nKeySpec, &bCallerFrees))
    {
        DWORD nError = GetLastError();
        CertFreeCertificateContext(m_pContext);
        m_pContext = nullptr;
        char szReason[128];
        std::snprintf(szReason, sizeof(szReason), "its private key cannot be used (0x%lx) from %s",
                  static_cast<unsigned long>(nError), pszWhere);
        *pReason = szReason;
        return ZymClientCertificateUnusable;
    }
    *pReason = "found in ";
    *pReason += pszWhere;
    return ZymSocketOk;
}
