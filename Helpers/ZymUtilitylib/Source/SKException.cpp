#include "SKException.h"

#include <cstring>

#pragma push_macro("GetMessage")
#undef GetMessage

namespace
{
char* CopyText(const char* pszText)
{
    if (pszText == nullptr)
        return nullptr;
    size_t nBytes = std::strlen(pszText) + 1;
    char* pszCopy = new char[nBytes];
    std::memcpy(pszCopy, pszText, nBytes);
    return pszCopy;
}
}

SKException::SKException(const char* pszMessage)
    : m_pszMessage(CopyText(pszMessage)), m_nCode(0)
{
}

SKException::SKException(const SKException& other)
    : m_pszMessage(CopyText(other.m_pszMessage)),
      m_nCode(other.m_pszMessage != nullptr ? other.GetCode() : 0)
{
}

SKException::~SKException()
{
    delete[] m_pszMessage;
}

const char* SKException::GetMessage() const
{
    return m_pszMessage != nullptr ? m_pszMessage : "*VOID*";
}

int SKException::GetCode() const
{
    return m_nCode;
}

#pragma pop_macro("GetMessage")
