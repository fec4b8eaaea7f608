// TrustTestAuthority FILE.der
// Adds a test authority to the trusted roots of the machine store of the
// Wine prefix it runs in, and of nothing else: a test run makes the
// authority, trusts it here, and deletes its registry entry afterwards.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: TrustTestAuthority FILE.der\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::vector<unsigned char> der((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
    if (der.empty())
    {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    HCERTSTORE hStore = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0,
                                      CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
    if (hStore == nullptr)
    {
        std::fprintf(stderr, "cannot open the root store (error %lu)\n", GetLastError());
        return 1;
    }
    BOOL bAdded = CertAddEncodedCertificateToStore(hStore, X509_ASN_ENCODING, der.data(),
                                                   static_cast<DWORD>(der.size()),
                                                   CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    DWORD nError = GetLastError();
    CertCloseStore(hStore, 0);
    if (!bAdded)
    {
        std::fprintf(stderr, "cannot add the authority (error %lu)\n", nError);
        return 1;
    }
    return 0;
}
