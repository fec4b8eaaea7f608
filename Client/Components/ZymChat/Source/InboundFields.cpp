#include "InboundFields.h"

#include <cctype>
#include <cstring>

namespace InboundFields
{
    const char* CommandWord(const char* pszLine)
    {
        if (pszLine[0] != ':')
            return pszLine;
        const char* pszBlank = std::strchr(pszLine, ' ');
        return pszBlank != nullptr ? pszBlank + 1 : nullptr;
    }

    bool WordIs(const char* pszAt, const char* pszWord)
    {
        if (pszAt == nullptr)
            return false;
        size_t nLength = std::strlen(pszWord);
        return std::strncmp(pszAt, pszWord, nLength) == 0 &&
               (pszAt[nLength] == ' ' || pszAt[nLength] == '\0');
    }

    const char* NextWord(const char* pszAt)
    {
        if (pszAt == nullptr)
            return nullptr;
        const char* pszBlank = std::strchr(pszAt, ' ');
        return pszBlank != nullptr ? pszBlank + 1 : nullptr;
    }

    void CopyWord(const char* pszAt, char* pArea, size_t nAreaSize)
    {
        size_t n = 0;
        if (pszAt != nullptr)
        {
            while (pszAt[n] != ' ' && pszAt[n] != '\0' && n + 1 < nAreaSize)
            {
                pArea[n] = pszAt[n];
                ++n;
            }
        }
        pArea[n] = '\0';
    }

    int SenderLength(const char* pszLine, const char* pszCommand)
    {
        const char* pszBang = std::strchr(pszLine, '!');
        if (pszBang == nullptr || pszCommand == nullptr || pszBang >= pszCommand)
            return -1;
        return static_cast<int>(pszBang - pszLine);
    }

    const char* Trailing(const char* pszFrom)
    {
        if (pszFrom == nullptr)
            return nullptr;
        const char* pszColon = std::strchr(pszFrom, ':');
        return pszColon != nullptr ? pszColon + 1 : nullptr;
    }

    bool EqualsIgnoringCase(const char* pszLeft, const char* pszRight)
    {
        for (;; ++pszLeft, ++pszRight)
        {
            int left = std::tolower(static_cast<unsigned char>(*pszLeft));
            int right = std::tolower(static_cast<unsigned char>(*pszRight));
            if (left != right)
                return false;
            if (left == '\0')
                return true;
        }
    }

    int LeadingNumber(const char* pszAt)
    {
        int nValue = 0;
        for (int i = 0; i < 6 && pszAt[i] >= '0' && pszAt[i] <= '9'; ++i)
            nValue = nValue * 10 + (pszAt[i] - '0');
        return nValue;
    }

    void AppendText(char* pArea, size_t nAreaSize, const char* pszText, size_t nLength)
    {
        size_t nUsed = std::strlen(pArea);
        while (nLength > 0 && *pszText != '\0' && nUsed + 1 < nAreaSize)
        {
            pArea[nUsed++] = *pszText++;
            --nLength;
        }
        pArea[nUsed] = '\0';
    }

    size_t WordLength(const char* pszAt)
    {
        size_t n = 0;
        while (pszAt[n] != ' ' && pszAt[n] != '\0')
            ++n;
        return n;
    }
}
