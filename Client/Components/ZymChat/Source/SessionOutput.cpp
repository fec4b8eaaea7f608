#include "SessionOutput.h"

#include "OutgoingLine.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

void SessionOutput::Send(const std::string& line)
{
    if (!OutgoingLine::IsSendable(line.c_str()))
    {
        Log("sendTxt() refused a line of %d characters, %d\n", static_cast<int>(line.size()),
            static_cast<int>(std::time(nullptr)));
        m_bRefused = true;
        return;
    }
    m_Lines.push_back(line);
}

void SessionOutput::NotifyDetail(const Detail& detail)
{
    m_Details.push_back(detail);
    m_Details.back().m_nEventsBefore = m_Events.size();
}

void SessionOutput::Log(const char* pszFormat, ...)
{
    char entry[1024];
    va_list arguments;
    va_start(arguments, pszFormat);
    std::vsnprintf(entry, sizeof(entry), pszFormat, arguments);
    va_end(arguments);
    m_LogEntries.push_back(entry);
}
