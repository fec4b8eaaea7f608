#include "Tokenizer.h"

#include <cstring>

Tokenizer::Tokenizer(const char* pszText, char cDelimiter)
    : m_nTokens(0), m_cDelimiter(cDelimiter), m_ppTokens(nullptr)
{
    if (pszText == nullptr)
        pszText = "";

    int nDelimiters = 0;
    for (const char* p = pszText; *p != '\0'; ++p)
    {
        if (*p == m_cDelimiter)
            ++nDelimiters;
    }

    // Build the whole array before publishing it, so a failed allocation
    // leaves nothing half-owned.
    int nTokens = nDelimiters + 1;
    char** ppTokens = new char*[nTokens]();
    try
    {
        const char* pStart = pszText;
        for (int i = 0; i < nTokens; ++i)
        {
            const char* pEnd = pStart;
            while (*pEnd != '\0' && *pEnd != m_cDelimiter)
                ++pEnd;
            size_t nLength = static_cast<size_t>(pEnd - pStart);
            ppTokens[i] = new char[nLength + 1];
            std::memcpy(ppTokens[i], pStart, nLength);
            ppTokens[i][nLength] = '\0';
            pStart = (*pEnd == m_cDelimiter) ? pEnd + 1 : pEnd;
        }
    }
    catch (...)
    {
        for (int i = 0; i < nTokens; ++i)
            delete[] ppTokens[i];
        delete[] ppTokens;
        throw;
    }
    m_nTokens = nTokens;
    m_ppTokens = ppTokens;
}

Tokenizer::~Tokenizer()
{
    for (int i = 0; i < m_nTokens; ++i)
        delete[] m_ppTokens[i];
    delete[] m_ppTokens;
}

int Tokenizer::GetCount() const
{
    return m_nTokens;
}

const char* Tokenizer::GetToken(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nTokens)
        return "no tokens";
    return m_ppTokens[nIndex];
}
