#include "ZymString.h"

#include "InterlockedCount.h"

#include <string.h>

#include <climits>
#include <cstring>
#include <new>

ZymString::StringBuffer::StringBuffer(int nSize)
    : m_nLength(-1), m_nRefCount(1), m_pData(nullptr), m_nSize(nSize < 1 ? 1 : nSize)
{
    m_pData = new char[m_nSize];
    m_pData[0] = '\0';
}

ZymString::StringBuffer::~StringBuffer()
{
    delete[] m_pData;
}

ZymString::SubString::SubString(const ZymString* pSource, int nStart, int nLength)
    : m_pSource(pSource), m_nStart(nStart), m_nLength(nLength)
{
}

ZymString::SubString::operator ZymString() const
{
    // Out-of-range views are cut to the text instead of reading past it.
    int nTotal = m_pSource->Length();
    int nStart = m_nStart < 0 ? 0 : (m_nStart > nTotal ? nTotal : m_nStart);
    int nLength = m_nLength < 0 ? 0 : m_nLength;
    if (nLength > nTotal - nStart)
        nLength = nTotal - nStart;

    char* pTemp = new char[nLength + 1];
    std::memcpy(pTemp, m_pSource->Text() + nStart, static_cast<size_t>(nLength));
    pTemp[nLength] = '\0';
    try
    {
        ZymString result(pTemp, -1);
        delete[] pTemp;
        return result;
    }
    catch (...)
    {
        delete[] pTemp;
        throw;
    }
}

ZymString::ZymString() : m_pBuffer(new StringBuffer(33))
{
}

ZymString::ZymString(int nCapacity) : m_pBuffer(nullptr)
{
    // As for a text: the terminator must still fit in the int-sized buffer.
    if (nCapacity == INT_MAX)
        throw std::bad_alloc();
    m_pBuffer = new StringBuffer(nCapacity < 0 ? 1 : nCapacity + 1);
}

ZymString::ZymString(const char* pszText, int nLength) : m_pBuffer(nullptr)
{
    if (pszText == nullptr)
        pszText = "";
    if (nLength < 0)
        nLength = static_cast<int>(std::strlen(pszText));
    // The buffer size is counted in an int: a length that leaves no room for
    // the terminator cannot be held.
    if (nLength == INT_MAX)
        throw std::bad_alloc();
    m_pBuffer = new StringBuffer(nLength + 1);
    // strncpy semantics: stop at the source's end, pad the rest with NULs.
    size_t nCopy = strnlen(pszText, static_cast<size_t>(nLength));
    std::memcpy(m_pBuffer->m_pData, pszText, nCopy);
    std::memset(m_pBuffer->m_pData + nCopy, 0, static_cast<size_t>(nLength) + 1 - nCopy);
}

ZymString::ZymString(const ZymString& other) : m_pBuffer(other.m_pBuffer)
{
    ZymInterlockedIncrement(&m_pBuffer->m_nRefCount);
}

ZymString::~ZymString()
{
    Release();
}

ZymString& ZymString::operator=(const ZymString& other)
{
    // Taking the new reference first keeps self-assignment harmless.
    StringBuffer* pOther = other.m_pBuffer;
    ZymInterlockedIncrement(&pOther->m_nRefCount);
    Release();
    m_pBuffer = pOther;
    return *this;
}

void ZymString::Release()
{
    if (ZymInterlockedDecrement(&m_pBuffer->m_nRefCount) == 0)
        delete m_pBuffer;
    m_pBuffer = nullptr;
}

void ZymString::MakeWritable()
{
    // A count of 1 is this string's own reference: nobody else can take a
    // new one, so the buffer stays private. A larger count may fall at any
    // moment on another thread.
    if (ZymInterlockedRead(&m_pBuffer->m_nRefCount) > 1)
    {
        size_t nBytes = std::strlen(m_pBuffer->m_pData) + 1;
        StringBuffer* pCopy = new StringBuffer(static_cast<int>(nBytes));
        std::memcpy(pCopy->m_pData, m_pBuffer->m_pData, nBytes);
        Release();
        m_pBuffer = pCopy;
    }
    ZymInterlockedWrite(&m_pBuffer->m_nLength, -1);
}

int ZymString::Compare(const ZymString& other) const
{
    return std::strcmp(Text(), other.Text());
}

int ZymString::Find(const ZymString& what, int nStart) const
{
    if (nStart < 0 || nStart > Length())
        return -1;
    const char* pszText = Text();
    const char* pMatch = std::strstr(pszText + nStart, what.Text());
    return pMatch != nullptr ? static_cast<int>(pMatch - pszText) : -1;
}

const char* ZymString::Text() const
{
    return m_pBuffer->m_pData;
}

int ZymString::Length() const
{
    long nLength = ZymInterlockedRead(&m_pBuffer->m_nLength);
    if (nLength == -1)
    {
        nLength = static_cast<long>(std::strlen(m_pBuffer->m_pData));
        ZymInterlockedWrite(&m_pBuffer->m_nLength, nLength);
    }
    return static_cast<int>(nLength);
}

char ZymString::operator[](int i) const
{
    return m_pBuffer->m_pData[i];
}

ZymString::SubString ZymString::Mid(int nStart, int nLength) const
{
    return SubString(this, nStart, nLength);
}

ZymString& ZymString::Append(const ZymString& other)
{
    int nOther = other.Length();
    int nOwn = Length();
    // Two texts and the spare byte must fit in the int-sized buffer; a wrapped
    // size would allocate too little for the copies below.
    if (nOther > INT_MAX - 2 - nOwn)
        throw std::bad_alloc();
    MakeWritable();

    // The other text is read from its current buffer before this string's
    // old array is freed: when other is this very string, both are the same.
    int nSize = nOwn + nOther + 2;
    char* pData = new char[nSize];
    std::memcpy(pData, m_pBuffer->m_pData, static_cast<size_t>(nOwn));
    std::memcpy(pData + nOwn, other.Text(), static_cast<size_t>(nOther));
    pData[nOwn + nOther] = '\0';
    delete[] m_pBuffer->m_pData;
    m_pBuffer->m_pData = pData;
    m_pBuffer->m_nSize = nSize;
    return *this;
}

ZymString& ZymString::operator+=(const ZymString& other)
{
    return Append(other);
}

int operator==(const ZymString& left, const ZymString& right)
{
    return left.Compare(right) == 0 ? 1 : 0;
}
