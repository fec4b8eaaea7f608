#ifndef ZYM_SKEXCEPTION_H
#define ZYM_SKEXCEPTION_H

// <windows.h> maps GetMessage to GetMessageA or GetMessageW. The operation is
// declared with the macro out of the way so its name is the same in every
// translation unit, and the two forwarders keep calls compiling that were
// written after <windows.h> and so reach one of the mapped names.
#pragma push_macro("GetMessage")
#undef GetMessage

// The one exception class of the kit: an owned message text and a code.
class SKException
{
public:
    explicit SKException(const char* pszMessage);
    SKException(const SKException& other);
    virtual ~SKException();

    // Never null: "*VOID*" stands in for a missing message.
    virtual const char* GetMessage() const;
    virtual int GetCode() const;

    const char* GetMessageA() const { return GetMessage(); }
    const char* GetMessageW() const { return GetMessage(); }

private:
    SKException& operator=(const SKException&) = delete;

    char* m_pszMessage;
    int m_nCode;
};

#pragma pop_macro("GetMessage")

#endif
