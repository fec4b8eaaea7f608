#include "OutgoingLine.h"

#include <cstring>

namespace OutgoingLine
{
    bool HasNoLineBreak(const char* pszText)
    {
        return pszText == nullptr || std::strpbrk(pszText, "\r\n") == nullptr;
    }

    bool IsSendable(const char* pszText)
    {
        return pszText != nullptr && std::strlen(pszText) <= kMaxLength &&
               HasNoLineBreak(pszText);
    }
}
