#include "RelaunchArguments.h"

#include "CommandLineText.h"

namespace
{
size_t SkipBlanks(const std::wstring& line, size_t at)
{
    while (at < line.size() && IsCommandLineBlank(line[at]))
        ++at;
    return at;
}

// Takes the argument at position at into out and returns the position after
// it, or npos when it is malformed or not shorter than limit.
size_t TakeArgument(const std::wstring& line, size_t at, std::wstring& out, size_t limit)
{
    size_t begin = at;
    size_t end = 0;
    size_t next = 0;
    if (line[at] == L'"')
    {
        begin = at + 1;
        end = line.find(L'"', begin);
        if (end == std::wstring::npos)
            return std::wstring::npos;
        next = end + 1;
        if (next < line.size() && !IsCommandLineBlank(line[next]))
            return std::wstring::npos;
    }
    else
    {
        end = at;
        while (end < line.size() && !IsCommandLineBlank(line[end]))
        {
            if (line[end] == L'"')
                return std::wstring::npos;
            ++end;
        }
        next = end;
    }
    if (end - begin >= limit)
        return std::wstring::npos;
    out = line.substr(begin, end - begin);
    return next;
}
}

RelaunchArguments::RelaunchArguments()
    : m_nProcessHandle(0)
{
}

std::wstring RelaunchArguments::Format(const std::wstring& copy, unsigned long processHandle,
                                       const std::wstring& programFile, const std::wstring& installFolder)
{
    if (copy.find(L'"') != std::wstring::npos || programFile.find(L'"') != std::wstring::npos
        || installFolder.find(L'"') != std::wstring::npos)
        return std::wstring();
    return L"\"" + copy + L"\" " + std::to_wstring(processHandle) + L" \"" + programFile + L"\" \"" + installFolder
        + L"\"";
}

std::wstring RelaunchArguments::FolderToRemove() const
{
    if (!m_InstallFolder.empty() && m_InstallFolder.back() == L'\\')
        return m_InstallFolder.substr(0, m_InstallFolder.size() - 1);
    return m_InstallFolder;
}

bool RelaunchArguments::ParseHandle(const std::wstring& text)
{
    // Handles of other objects are small positive numbers; the negative
    // pseudo handles (the process itself, its thread) would wait forever.
    unsigned long value = 0;
    if (text.empty())
        return false;
    for (wchar_t c : text)
    {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + static_cast<unsigned long>(c - L'0');
        if (value > 0x7FFFFFFFul)
            return false;
    }
    if (value == 0)
        return false;
    m_nProcessHandle = value;
    return true;
}

bool RelaunchArguments::Parse(const std::wstring& commandLine)
{
    std::wstring handleText;
    std::wstring programFile;
    std::wstring installFolder;
    std::wstring* const outputs[] = { &handleText, &programFile, &installFolder };
    const size_t limits[] = { 16, maxPath, maxPath };

    size_t at = SkipBlanks(commandLine, SkipProgramName(commandLine));
    for (int i = 0; i < 3; ++i)
    {
        if (at >= commandLine.size())
            return false;
        at = TakeArgument(commandLine, at, *outputs[i], limits[i]);
        if (at == std::wstring::npos)
            return false;
        at = SkipBlanks(commandLine, at);
    }
    if (at != commandLine.size() || !ParseHandle(handleText))
        return false;
    m_ProgramFile = programFile;
    m_InstallFolder = installFolder;
    return true;
}
