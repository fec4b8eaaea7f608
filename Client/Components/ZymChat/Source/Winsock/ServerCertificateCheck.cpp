#include "ServerCertificateCheck.h"

#include <cstdio>

namespace
{
    // "what (kind 0x...)": a reason with the system's code behind it.
    ZymString Describe(const char* pszWhat, const char* pszKind, unsigned long nCode)
    {
        char text[200];
        std::snprintf(text, sizeof(text), "%s (%s 0x%lx)", pszWhat, pszKind, nCode);
        return ZymString(text);
    }

    // The chain's error bits that have names worth a reader's time.
    const char* ChainErrorName(DWORD nStatus)
    {
        if (nStatus & CERT_TRUST_IS_NOT_TIME_VALID)
            return "a certificate of the chain has expired or is not yet valid";
        if (nStatus & CERT_TRUST_IS_REVOKED)
            return "a certificate of the chain is revoked";
        if (nStatus & CERT_TRUST_IS_UNTRUSTED_ROOT)
            return "the chain ends in a root the machine does not trust";
        if (nStatus & CERT_TRUST_IS_PARTIAL_CHAIN)
            return "the chain does not reach a root the machine trusts";
        if (nStatus & CERT_TRUST_IS_NOT_SIGNATURE_VALID)
            return "a signature of the chain is not valid";
        if (nStatus & CERT_TRUST_IS_NOT_VALID_FOR_USAGE)
            return "the certificate is not meant for server authentication";
        return "the chain has an error";
    }

    const char* PolicyErrorName(DWORD nError)
    {
        switch (nError)
        {
        case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
            return "the certificate is for another host name";
        case static_cast<DWORD>(CERT_E_EXPIRED):
            return "the certificate has expired or is not yet valid";
        case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
            return "the certificate's authority is not trusted";
        case static_cast<DWORD>(CERT_E_WRONG_USAGE):
            return "the certificate is not meant for server authentication";
        default:
            return "the SSL policy refused the certificate";
        }
    }
}

bool CheckServerCertificate(PCCERT_CONTEXT pCertificate, const char* pszHostName,
                            ZymString* pReason)
{
    if (pCertificate == nullptr)
    {
        *pReason = ZymString("the server sent no certificate");
        return false;
    }

    LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof(chainPara);
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;

    PCCERT_CHAIN_CONTEXT pChain = nullptr;
    if (!CertGetCertificateChain(nullptr, pCertificate, nullptr, pCertificate->hCertStore,
                                 &chainPara, 0, nullptr, &pChain))
    {
        *pReason = Describe("no certificate chain could be built", "error", GetLastError());
        return false;
    }

    bool bTrusted = false;
    DWORD nStatus = pChain->TrustStatus.dwErrorStatus;
    if (nStatus != CERT_TRUST_NO_ERROR)
    {
        *pReason = Describe(ChainErrorName(nStatus), "chain status", nStatus);
    }
    else
    {
        WCHAR wideHost[256];
        if (MultiByteToWideChar(CP_ACP, 0, pszHostName, -1, wideHost, 256) == 0)
        {
            *pReason = ZymString("the host name cannot be checked");
        }
        else
        {
            HTTPSPolicyCallbackData https = {};
            https.cbStruct = sizeof(https);
            https.dwAuthType = AUTHTYPE_SERVER;
            https.pwszServerName = wideHost;
            CERT_CHAIN_POLICY_PARA policyPara = {};
            policyPara.cbSize = sizeof(policyPara);
            policyPara.pvExtraPolicyPara = &https;
            CERT_CHAIN_POLICY_STATUS policyStatus = {};
            policyStatus.cbSize = sizeof(policyStatus);
            if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, pChain, &policyPara,
                                                  &policyStatus))
            {
                *pReason = Describe("the SSL policy could not be checked", "error", GetLastError());
            }
            else if (policyStatus.dwError != 0)
            {
                *pReason = Describe(PolicyErrorName(policyStatus.dwError), "policy error",
                                    policyStatus.dwError);
            }
            else
            {
                bTrusted = true;
            }
        }
    }
    CertFreeCertificateChain(pChain);
    return bTrusted;
}
