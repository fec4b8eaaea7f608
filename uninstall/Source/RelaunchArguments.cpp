#include "RelaunchArguments.h"

#include <string.h>

namespace
{
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

const char* SkipBlanks(const char* p)
{
    while (IsBlank(*p))
        ++p;
    return p;
}

// Copies the argument at p into out (at most outSize - 1 characters) and
// returns the position after it, or null when it is malformed or too long.
const char* TakeArgument(const char* p, char* out, size_t outSize)
{
    const char* begin = p;
    const char* end = nullptr;
    const char* next = nullptr;
    if (*p == '"')
    {
        begin = p + 1;
        end = strchr(begin, '"');
        if (end == nullptr)
            return nullptr;
        next = end + 1;
        if (*next != '\0' && !IsBlank(*next))
            return nullptr;
    }
    else
    {
        end = p;
        while (*end != '\0' && !IsBlank(*end))
        {
            if (*end == '"')
                return nullptr;
            ++end;
        }
        next = end;
    }
    const size_t length = static_cast<size_t>(end - begin);
    if (length >= outSize)
        return nullptr;
    memcpy(out, begin, length);
    out[length] = '\0';
    return next;
}

// The program name follows the system's rule for the first argument: quoted
// up to the next quote, else up to the first blank.
const char* SkipProgram(const char* p)
{
    if (*p == '"')
    {
        const char* end = strchr(p + 1, '"');
        return end != nullptr ? end + 1 : p + strlen(p);
    }
    while (*p != '\0' && !IsBlank(*p))
        ++p;
    return p;
}
}

RelaunchArguments::RelaunchArguments()
    : m_nProcessHandle(0)
{
    m_szProgramFile[0] = '\0';
    m_szInstallFolder[0] = '\0';
    m_szFolderToRemove[0] = '\0';
}

HANDLE RelaunchArguments::ProcessHandle() const
{
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(m_nProcessHandle));
}

bool RelaunchArguments::ParseHandle(const char* text)
{
    // Handles of other objects are small positive numbers; the negative
    // pseudo handles (the process itself, its thread) would wait forever.
    unsigned long value = 0;
    if (*text == '\0')
        return false;
    for (const char* p = text; *p != '\0'; ++p)
    {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(*p - '0');
        if (value > 0x7FFFFFFFul)
            return false;
    }
    if (value == 0)
        return false;
    m_nProcessHandle = value;
    return true;
}

bool RelaunchArguments::Parse(const char* commandLine)
{
    char handleText[16];
    char* const outputs[] = { handleText, m_szProgramFile, m_szInstallFolder };
    const size_t sizes[] = { sizeof handleText, sizeof m_szProgramFile, sizeof m_szInstallFolder };

    const char* p = SkipBlanks(SkipProgram(commandLine));
    for (int i = 0; i < 3; ++i)
    {
        if (*p == '\0')
            return false;
        p = TakeArgument(p, outputs[i], sizes[i]);
        if (p == nullptr)
            return false;
        p = SkipBlanks(p);
    }
    if (*p != '\0' || !ParseHandle(handleText))
        return false;

    const size_t length = strlen(m_szInstallFolder);
    memcpy(m_szFolderToRemove, m_szInstallFolder, length + 1);
    if (length > 0 && m_szFolderToRemove[length - 1] == '\\')
        m_szFolderToRemove[length - 1] = '\0';
    return true;
}
