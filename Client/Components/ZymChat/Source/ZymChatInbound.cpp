#include "ZymChat.h"

#include <cstring>

#include "InboundFields.h"
#include "ScopedThreadLock.h"

using namespace InboundFields;

namespace
{
    // Text areas of the handlers here, terminator included.
    const size_t kListTextArea = 500;
    const size_t kMotdTextArea = 513;

    // The next word at or after p when successive blanks count as one; null
    // at the end of the text.
    const char* SkipToWord(const char* p)
    {
        while (*p == ' ')
            ++p;
        return *p != '\0' ? p : nullptr;
    }

    // Appends every word from p on, each followed by one blank.
    void AppendWords(char* pArea, size_t nAreaSize, const char* p)
    {
        for (p = SkipToWord(p); p != nullptr; p = SkipToWord(p + WordLength(p)))
        {
            AppendText(pArea, nAreaSize, p, WordLength(p));
            AppendText(pArea, nAreaSize, " ", 1);
        }
    }
}

void ZymChat::DispatchLine(char* pszLine)
{
    if (pszLine == nullptr)
        return;
    try
    {
        // Only the command word routes: a word elsewhere in the line (a
        // message text, a nickname, a channel name) never does.
        const char* pszCommand = CommandWord(pszLine);
        if (pszCommand == nullptr)
            return;

        if (WordIs(pszCommand, "PRIVMSG"))
            OnPrivmsg(pszLine);
        else if (WordIs(pszCommand, "NOTICE"))
            OnNotice(pszLine);
        else if (WordIs(pszCommand, "INVITE"))
            OnInvite(pszLine);
        else if (WordIs(pszCommand, "JOIN"))
            OnJoin(pszLine);
        else if (WordIs(pszCommand, "PART"))
            OnPart(pszLine);
        else if (WordIs(pszCommand, "NICK"))
            OnNick(pszLine);
        else if (WordIs(pszCommand, "KICK"))
            OnKick(pszLine);
        else if (WordIs(pszCommand, "QUIT"))
            OnQuit(pszLine);
        else if (WordIs(pszCommand, "322"))
            OnListEntry(pszLine);
        else if (WordIs(pszCommand, "323"))
            m_pEventSink->NotifyEvent(CHAT_EVENT_LIST_END, 0);
        else if (WordIs(pszCommand, "353"))
            OnNamesReply(pszLine);
        else if (WordIs(pszCommand, "372"))
            OnMotd(pszLine);
        else if (WordIs(pszCommand, "PING"))
            SendPong(pszLine);
        else
        {
            int nNumeric = LeadingNumber(pszCommand);
            if (nNumeric >= 1 && nNumeric <= 4)
                OnWelcomeTarget(pszLine);
            if (nNumeric >= 2 && nNumeric <= 4)
                OnWelcome(pszLine);
            else if (nNumeric >= 401 && nNumeric <= 499)
                OnServerError(nNumeric);
        }
    }
    catch (...)
    {
        // A line that cannot be used is dropped; the connection goes on.
    }
}

void ZymChat::OnWelcome(char*)
{
    bool bListStart = false;
    {
        ScopedThreadLock hold(m_TableLock);
        if (m_bWelcomed)
            return;
        m_bWelcomed = 1;
        if (m_bListPending)
        {
            m_bListPending = 0;
            bListStart = true;
            sendTxt("LIST");
        }
        JoinPendingChannels();
    }
    // The host hears of the list before this thread sends the LIST line.
    if (bListStart)
        m_pEventSink->NotifyText(CHAT_EVENT_LIST_START, nullptr);
}

void ZymChat::OnWelcomeTarget(const char* pszLine)
{
    // ":server 001 nick :Welcome": the nickname the server knows us by. A
    // server that has none yet writes "*".
    const char* pszTarget = NextWord(CommandWord(pszLine));
    if (pszTarget == nullptr || pszTarget[0] == '*' || pszTarget[0] == ':' ||
        pszTarget[0] == ' ' || pszTarget[0] == '\0')
        return;
    ZymString target(pszTarget, static_cast<int>(WordLength(pszTarget)));
    ScopedThreadLock hold(m_TableLock);
    m_ConfirmedNickname = target;
}

void ZymChat::OnListEntry(char* pszLine)
{
    char text[kListTextArea];
    text[0] = '\0';
    for (const char* p = std::strchr(pszLine, '#'); p != nullptr; p = std::strchr(p + 1, '#'))
    {
        if (text[0] != '\0')
            AppendText(text, sizeof(text), " ", 1);
        AppendText(text, sizeof(text), p, WordLength(p));
    }
    m_pEventSink->NotifyText(CHAT_EVENT_LIST_ENTRY, text);
}

void ZymChat::OnMotd(char* pszLine)
{
    char text[kMotdTextArea];
    text[0] = '\0';

    const char* pszFirst = SkipToWord(pszLine);
    if (pszFirst == nullptr)
    {
        m_pEventSink->NotifyText(CHAT_EVENT_MOTD, text);
        return;
    }
    // The words after a colon-dash word; without one, the words of the
    // trailing parameter.
    const char* pszDash = nullptr;
    const char* pszTrailing = nullptr;
    for (const char* p = SkipToWord(pszFirst + WordLength(pszFirst)); p != nullptr;
         p = SkipToWord(p + WordLength(p)))
    {
        if (p[0] == ':' && p[1] == '-')
        {
            pszDash = p;
            break;
        }
        if (p[0] == ':' && pszTrailing == nullptr)
            pszTrailing = p;
    }
    if (pszDash != nullptr)
        AppendWords(text, sizeof(text), pszDash + WordLength(pszDash));
    else if (pszTrailing != nullptr)
        AppendWords(text, sizeof(text), pszTrailing + 1);
    m_pEventSink->NotifyText(CHAT_EVENT_MOTD, text);
}
