// ImportClientCertificate FILE.pfx THUMBPRINT
// ImportClientCertificate --without-key FILE.der THUMBPRINT
// Imports a certificate with its private key (a PKCS #12 file without a
// password), or a certificate alone, into the current user's MY store of
// the Wine prefix it runs in, then finds it there by THUMBPRINT (40 hex
// digits) and checks that its key opens as the chat component opens it
// before it presents it (or, without a key, that none does). A test run
// makes the files, imports them here and deletes their registry entries
// afterwards.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CertificateThumbprint.h"

namespace
{
    // The store, or null; closed on every way out.
    struct Store
    {
        HCERTSTORE hStore;
        explicit Store(HCERTSTORE h) : hStore(h) {}
        ~Store()
        {
            if (hStore != nullptr)
                CertCloseStore(hStore, 0);
        }
        Store(const Store&) = delete;
        Store& operator=(const Store&) = delete;
    };

    // Wine's import records the key's kind as 3, by which no process can
    // open the key (the key it imported is the key exchange key of its
    // container, as Windows records it), and hands the certificate the provider handle
    // of this process as a property that the store then keeps: another
    // process would take that number for a handle of its own.
    bool NameKeyExchangeKey(PCCERT_CONTEXT pCertificate)
    {
        if (!CertSetCertificateContextProperty(pCertificate, CERT_KEY_CONTEXT_PROP_ID, 0, nullptr))
            return false;
        DWORD nSize = 0;
        if (!CertGetCertificateContextProperty(pCertificate, CERT_KEY_PROV_INFO_PROP_ID, nullptr,
                                               &nSize))
            return true;
        std::vector<BYTE> info(nSize);
        if (!CertGetCertificateContextProperty(pCertificate, CERT_KEY_PROV_INFO_PROP_ID, info.data(),
                                               &nSize))
            return false;
        auto* pInfo = reinterpret_cast<CRYPT_KEY_PROV_INFO*>(info.data());
        if (pInfo->dwKeySpec == AT_KEYEXCHANGE || pInfo->dwKeySpec == AT_SIGNATURE)
            return true;
        pInfo->dwKeySpec = AT_KEYEXCHANGE;
        return CertSetCertificateContextProperty(pCertificate, CERT_KEY_PROV_INFO_PROP_ID, 0,
                                                 pInfo) != FALSE;
    }

    int Fail(const char* pszWhat)
    {
        std::fprintf(stderr, "ImportClientCertificate: %s (error 0x%lx)\n", pszWhat, GetLastError());
        return 1;
    }

    std::vector<BYTE> ReadFile(const char* pszPath)
    {
        std::ifstream file(pszPath, std::ios::binary);
        return std::vector<BYTE>((std::istreambuf_iterator<char>(file)),
                                 std::istreambuf_iterator<char>());
    }

    int AddWithKey(HCERTSTORE hMy, std::vector<BYTE>& pfx)
    {
        CRYPT_DATA_BLOB blob = {static_cast<DWORD>(pfx.size()), pfx.data()};
        // Wine's TLS library hands the private key to GnuTLS by exporting
        // it, so the key is imported exportable (Windows has no such need).
        Store imported(PFXImportCertStore(&blob, L"", CRYPT_EXPORTABLE | CRYPT_USER_KEYSET));
        if (imported.hStore == nullptr)
            return Fail("cannot import the file");
        PCCERT_CONTEXT pCertificate = nullptr;
        while ((pCertificate = CertEnumCertificatesInStore(imported.hStore, pCertificate)) != nullptr)
        {
            if (!NameKeyExchangeKey(pCertificate))
            {
                CertFreeCertificateContext(pCertificate);
                return Fail("cannot record where the certificate's key is");
            }
            if (!CertAddCertificateContextToStore(hMy, pCertificate, CERT_STORE_ADD_REPLACE_EXISTING,
                                                  nullptr))
            {
                CertFreeCertificateContext(pCertificate);
                return Fail("cannot add the certificate to the MY store");
            }
        }
        return 0;
    }

    // Whether the certificate's private key opens: acquired without caching
    // the handle (the store would keep it with the certificate for other
    // processes), then the key itself.
    bool KeyOpens(PCCERT_CONTEXT pCertificate)
    {
        HCRYPTPROV_OR_NCRYPT_KEY_HANDLE hProvider = 0;
        DWORD nKeySpec = 0;
        BOOL bCallerFrees = FALSE;
        if (!CryptAcquireCertificatePrivateKey(pCertificate, CRYPT_ACQUIRE_SILENT_FLAG, nullptr,
                                               &hProvider, &nKeySpec, &bCallerFrees))
            return false;
        HCRYPTKEY hKey = 0;
        bool bOpens = CryptGetUserKey(hProvider, nKeySpec, &hKey) != FALSE;
        if (bOpens)
            CryptDestroyKey(hKey);
        if (bCallerFrees)
            CryptReleaseContext(hProvider, 0);
        return bOpens;
    }
}

int main(int argc, char** argv)
{
    bool bWithKey = !(argc == 4 && std::string(argv[1]) == "--without-key");
    CertificateThumbprint thumbprint;
    if ((bWithKey && argc != 3) || !thumbprint.Parse(argv[argc - 1]) || !thumbprint.IsSet())
    {
        std::fprintf(stderr, "usage: ImportClientCertificate [--without-key FILE.der | FILE.pfx] "
                             "THUMBPRINT\n");
        return 2;
    }
    std::vector<BYTE> contents = ReadFile(argv[argc - 2]);
    if (contents.empty())
        return Fail("cannot read the file");
    Store my(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"MY"));
    if (my.hStore == nullptr)
        return Fail("cannot open the current user's MY store");
    if (bWithKey)
    {
        int nResult = AddWithKey(my.hStore, contents);
        if (nResult != 0)
            return nResult;
    }
    else if (!CertAddEncodedCertificateToStore(my.hStore, X509_ASN_ENCODING, contents.data(),
                                               static_cast<DWORD>(contents.size()),
                                               CERT_STORE_ADD_REPLACE_EXISTING, nullptr))
        return Fail("cannot add the certificate to the MY store");

    CRYPT_HASH_BLOB wanted = {CertificateThumbprint::kSize, const_cast<BYTE*>(thumbprint.Bytes())};
    PCCERT_CONTEXT pFound = CertFindCertificateInStore(
        my.hStore, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH, &wanted, nullptr);
    if (pFound == nullptr)
        return Fail("the MY store has no certificate of this thumbprint");
    bool bOpens = KeyOpens(pFound);
    CertFreeCertificateContext(pFound);
    if (bOpens != bWithKey)
        return Fail(bWithKey ? "the certificate's private key does not open"
                             : "a certificate added without a key has one");
    return 0;
}
