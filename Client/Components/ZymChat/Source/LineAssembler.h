#ifndef ZYM_LINEASSEMBLER_H
#define ZYM_LINEASSEMBLER_H

// Splits the byte stream of the server into CR LF lines. Bytes after the last
// CR LF are kept and completed by the next read. A line longer than
// kMaxLineLength is dropped up to its CR LF, so a server that never ends a
// line cannot make the buffer grow without bound.
class LineAssembler
{
public:
    static const int kInitialSize = 1024;
    static const int kMaxLineLength = 8192;

    LineAssembler();
    ~LineAssembler();

    // Room for nWanted bytes behind the held ones; the buffer doubles as
    // needed.
    char* ReserveTail(int nWanted);

    // Takes nCount bytes written at ReserveTail and calls onLine with every
    // line they complete, zero-terminated in place and without its CR LF.
    // The text may be changed by onLine and is valid during the call only.
    template <class F>
    void Commit(int nCount, F onLine)
    {
        int nScan = m_nHeld > 0 ? m_nHeld - 1 : 0;
        m_nHeld += nCount;
        int nLineStart = 0;
        for (int i = nScan; i + 1 < m_nHeld; ++i)
        {
            if (m_pBuffer[i] != '\r' || m_pBuffer[i + 1] != '\n')
                continue;
            m_pBuffer[i] = '\0';
            bool bKeep = !m_bDiscarding && i - nLineStart <= kMaxLineLength;
            m_bDiscarding = false;
            int nNext = i + 2;
            if (bKeep)
                onLine(m_pBuffer + nLineStart);
            nLineStart = nNext;
            i = nNext - 1;
        }
        KeepUnfinished(nLineStart);
    }

    // Bytes of an unfinished line held for the next read.
    int Held() const { return m_nHeld; }
    int Capacity() const { return m_nSize; }

private:
    LineAssembler(const LineAssembler&) = delete;
    LineAssembler& operator=(const LineAssembler&) = delete;

    void KeepUnfinished(int nLineStart);

    char* m_pBuffer;
    int m_nSize;
    int m_nHeld;
    // Set while the rest of an over-long line is being skipped.
    bool m_bDiscarding;
};

#endif
