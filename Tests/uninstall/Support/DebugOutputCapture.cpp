#include "DebugOutputCapture.h"

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006L
#endif

std::string* DebugOutputCapture::s_pText = nullptr;

DebugOutputCapture::DebugOutputCapture()
{
    s_pText = &m_Text;
    m_hHandler = AddVectoredExceptionHandler(1, Handler);
}

DebugOutputCapture::~DebugOutputCapture()
{
    RemoveVectoredExceptionHandler(m_hHandler);
    s_pText = nullptr;
}

LONG CALLBACK DebugOutputCapture::Handler(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (record->ExceptionCode != static_cast<DWORD>(DBG_PRINTEXCEPTION_C) || record->NumberParameters < 2
        || s_pText == nullptr)
        return EXCEPTION_CONTINUE_SEARCH;
    s_pText->append(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_EXECUTION;
}
