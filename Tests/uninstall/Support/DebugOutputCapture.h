#ifndef UNINSTALL_TESTS_DEBUGOUTPUTCAPTURE_H
#define UNINSTALL_TESTS_DEBUGOUTPUTCAPTURE_H

#include <windows.h>

#include <string>

// Collects what this process writes with OutputDebugStringA while the object
// lives: the call raises a debug-print exception, which a vectored handler
// sees before anything else.
class DebugOutputCapture
{
public:
    DebugOutputCapture();
    ~DebugOutputCapture();

    const std::string& Text() const { return m_Text; }

private:
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    static LONG CALLBACK Handler(EXCEPTION_POINTERS* pointers);

    static std::string* s_pText;
    PVOID m_hHandler;
    std::string m_Text;
};

#endif
