#include "CommandLineOptions.h"

#include "CommandLineText.h"

#include <vector>

namespace
{
// A backslash is always a character of its own: paths end in one before a
// closing quote ("C:\logs\").
std::vector<std::wstring> SplitArguments(const std::wstring& line, size_t at)
{
    std::vector<std::wstring> arguments;
    while (at < line.size())
    {
        while (at < line.size() && IsCommandLineBlank(line[at]))
            ++at;
        if (at == line.size())
            break;
        std::wstring argument;
        bool quoted = false;
        for (; at < line.size() && (quoted || !IsCommandLineBlank(line[at])); ++at)
        {
            if (line[at] == L'"')
                quoted = !quoted;
            else
                argument += line[at];
        }
        arguments.push_back(argument);
    }
    return arguments;
}

bool IsDecimal(const std::wstring& text)
{
    if (text.empty())
        return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9')
            return false;
    return true;
}

wchar_t Upper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Whether argument begins with name (given in upper case), in any case.
bool StartsWith(const std::wstring& argument, const wchar_t* name)
{
    size_t i = 0;
    for (; name[i] != L'\0'; ++i)
        if (i >= argument.size() || Upper(argument[i]) != name[i])
            return false;
    return true;
}

bool IsSilentSwitch(const std::wstring& argument)
{
    return argument.size() == 2 && (argument[0] == L'/' || argument[0] == L'-') && Upper(argument[1]) == L'S';
}
}

CommandLineOptions::CommandLineOptions()
    : m_Mode(FirstRun), m_bSilent(false), m_bUsage(false), m_bLogGiven(false), m_bBare(false)
{
}

CommandLineOptions CommandLineOptions::Parse(const std::wstring& commandLine)
{
    CommandLineOptions options;
    const std::vector<std::wstring> arguments = SplitArguments(commandLine, SkipProgramName(commandLine));
    options.m_bBare = arguments.empty();
    if (!arguments.empty() && IsDecimal(arguments[0]))
    {
        options.m_Mode = RelaunchedCleanup;
        return options;
    }
    for (const std::wstring& argument : arguments)
    {
        if (!options.Take(argument))
        {
            // A script that asked for silence gets its refusal silently too:
            // a box would wait for a person who is not there.
            CommandLineOptions refused;
            refused.m_Mode = Refused;
            refused.m_Offending = argument;
            for (const std::wstring& other : arguments)
                refused.m_bSilent = refused.m_bSilent || IsSilentSwitch(other);
            return refused;
        }
    }
    if (options.m_bUsage)
        options.m_Mode = ShowUsage;
    return options;
}

bool CommandLineOptions::Take(const std::wstring& argument)
{
    if (IsSilentSwitch(argument))
    {
        if (m_bSilent)
            return false;
        m_bSilent = true;
        return true;
    }
    if (argument == L"/?" || argument == L"-?")
    {
        if (m_bUsage)
            return false;
        m_bUsage = true;
        return true;
    }
    if (StartsWith(argument, L"/LOG=") || StartsWith(argument, L"-LOG="))
    {
        const std::wstring path = argument.substr(5);
        if (m_bLogGiven || path.empty())
            return false;
        m_bLogGiven = true;
        m_LogPath = path;
        return true;
    }
    return false;
}
