#ifndef ZYM_ZYMSTRING_H
#define ZYM_ZYMSTRING_H

// Text handle over a reference-counted buffer: copies share the buffer, and
// the only change in place (append) first gives the string a private one.
class ZymString
{
public:
    class StringBuffer
    {
    public:
        // nSize bytes, holding an empty text; count 1, length unknown.
        explicit StringBuffer(int nSize);
        virtual ~StringBuffer();

        // Both are read and changed only with interlocked operations: copies
        // that share the buffer may live on different threads, and any of
        // them may fill in the cached length. (A long is 32 bits on Windows.)
        volatile long m_nLength;
        volatile long m_nRefCount;
        char* m_pData;
        int m_nSize;

    private:
        StringBuffer(const StringBuffer&) = delete;
        StringBuffer& operator=(const StringBuffer&) = delete;
    };

    // A view returned by Mid; it must not outlive its source.
    class SubString
    {
    public:
        SubString(const ZymString* pSource, int nStart, int nLength);
        operator ZymString() const;

        const ZymString* m_pSource;
        int m_nStart;
        int m_nLength;
    };

    ZymString();
    explicit ZymString(int nCapacity);
    // A length of -1 takes the whole text.
    ZymString(const char* pszText, int nLength = -1);
    ZymString(const ZymString& other);
    virtual ~ZymString();
    ZymString& operator=(const ZymString& other);

    virtual int Compare(const ZymString& other) const;
    // Index of the first match at or after nStart, or -1.
    virtual int Find(const ZymString& what, int nStart) const;

    const char* Text() const;
    int Length() const;
    char operator[](int i) const;
    SubString Mid(int nStart, int nLength) const;

    ZymString& Append(const ZymString& other);
    ZymString& operator+=(const ZymString& other);

private:
    void Release();
    void MakeWritable();

    StringBuffer* m_pBuffer;
};

// 1 when the texts are equal (through the virtual Compare), else 0.
int operator==(const ZymString& left, const ZymString& right);

#endif
