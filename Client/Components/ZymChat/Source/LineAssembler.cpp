#include "LineAssembler.h"

#include <cstring>

LineAssembler::LineAssembler()
    : m_pBuffer(new char[kInitialSize]), m_nSize(kInitialSize), m_nHeld(0), m_bDiscarding(false)
{
}

LineAssembler::~LineAssembler()
{
    delete[] m_pBuffer;
}

char* LineAssembler::ReserveTail(int nWanted)
{
    if (m_nHeld + nWanted > m_nSize)
    {
        int nSize = m_nSize;
        while (m_nHeld + nWanted > nSize)
            nSize *= 2;
        char* pBuffer = new char[nSize];
        std::memcpy(pBuffer, m_pBuffer, m_nHeld);
        delete[] m_pBuffer;
        m_pBuffer = pBuffer;
        m_nSize = nSize;
    }
    return m_pBuffer + m_nHeld;
}

void LineAssembler::KeepUnfinished(int nLineStart)
{
    int nRest = m_nHeld - nLineStart;
    if (nLineStart > 0 && nRest > 0)
        std::memmove(m_pBuffer, m_pBuffer + nLineStart, nRest);
    m_nHeld = nRest;
    // Beyond the limit plus a CR that may still be followed by its LF, the
    // unfinished line can only be dropped; a trailing CR is kept so that the
    // CR LF ending the dropped line is still recognised.
    if (m_nHeld > kMaxLineLength + 1)
    {
        bool bTrailingCr = m_pBuffer[m_nHeld - 1] == '\r';
        m_bDiscarding = true;
        m_nHeld = 0;
        if (bTrailingCr)
            m_pBuffer[m_nHeld++] = '\r';
    }
}
