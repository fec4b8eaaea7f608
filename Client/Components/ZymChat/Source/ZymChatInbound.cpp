#include "ZymChat.h"

#include <vector>

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
        else if (nNumeric >= 401 && nNumeric <= 499 &&
                 !(nNumeric == 421 && message.Parameter(1) == "CAP"))
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
    std::vector<SessionOutput::Detail>::const_iterator itDetail = out.Details().begin();
    for (size_t nEvent = 0; nEvent < out.Events().size(); ++nEvent)
    {
        for (; itDetail != out.Details().end() && itDetail->m_nEventsBefore <= nEvent; ++itDetail)
            NotifyDetail(*itDetail);
        const SessionOutput::Event& event = out.Events()[nEvent];
        m_pEventSink->NotifyText(event.m_nCode, event.m_bNullText ? nullptr : event.m_Text.c_str());
    }
    for (; itDetail != out.Details().end(); ++itDetail)
        NotifyDetail(*itDetail);
    bool bEnd = out.EndsConnection();
    for (const SessionOutput::Failure& failure : out.Failures())
    {
        if (m_pEventSink->ReportError(failure.m_nCode, failure.m_Text.c_str()) != 0)
            bEnd = true;
    }
    if (bEnd)
        Quit();
    return nResult;
}

void ZymChat::NotifyDetail(const SessionOutput::Detail& detail)
{
    if (m_pExtendedSink == nullptr)
        return;
    ChatEventDetails details;
    details.nSize = static_cast<int>(sizeof(details));
    details.pszChannel = detail.m_Channel.c_str();
    details.pszNickname = detail.m_Nickname.c_str();
    details.pszSource = detail.m_Source.c_str();
    details.pszText = detail.m_Text.c_str();
    details.pszAccount = detail.m_Account.c_str();
    details.pszTime = detail.m_Time.c_str();
    details.pszMessageId = detail.m_MessageId.c_str();
    m_pExtendedSink->NotifyDetails(detail.m_nCode, &details);
}
