#include "ZymChat.h"

#include "IrcMessage.h"
#include "SessionOutput.h"

void ZymChat::DispatchLine(char* pszLine)
{
    if (pszLine == nullptr)
        return;
    try
    {
        IrcMessage message;
        if (!message.Parse(pszLine))
            return;

        int nNumeric = message.Numeric();
        if (message.CommandIs("PING"))
        {
            SendPong(message);
        }
        else if (nNumeric == 323)
        {
            m_pEventSink->NotifyEvent(CHAT_EVENT_LIST_END, 0);
        }
        else if (nNumeric >= 401 && nNumeric <= 499)
        {
            OnServerError(nNumeric);
        }
        else
        {
            SessionOutput out;
            m_Session.Handle(message, out);
            Route(out);
        }
    }
    catch (...)
    {
        // A line that cannot be used is dropped; the connection goes on.
    }
}

int ZymChat::Route(const SessionOutput& out)
{
    int nResult = out.Refused() ? 0 : 1;
    for (const std::string& line : out.Lines())
    {
        if (sendTxt(line.c_str()) != 1)
            nResult = 0;
    }
    for (const std::string& entry : out.LogEntries())
        Log("%s", entry.c_str());
    for (const SessionOutput::Event& event : out.Events())
        m_pEventSink->NotifyText(event.m_nCode, event.m_bNullText ? nullptr : event.m_Text.c_str());
    return nResult;
}
