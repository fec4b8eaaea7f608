#include "ZymChat.h"

#include <cstring>
#include <string>
#include <vector>

#include "IrcMessage.h"
#include "ScopedThreadLock.h"

namespace
{
    // Text areas of the handlers here, terminator included.
    const size_t kListTextArea = 500;
    const size_t kMotdTextArea = 513;

    // Appends the text to the area, cut to fit with its terminator.
    void Append(char* pArea, size_t nAreaSize, const std::string& text)
    {
        size_t nUsed = std::strlen(pArea);
        size_t nRoom = nAreaSize - 1 - nUsed;
        size_t nCount = text.size() < nRoom ? text.size() : nRoom;
        std::memcpy(pArea + nUsed, text.data(), nCount);
        pArea[nUsed + nCount] = '\0';
    }

    // The words of a parameter, successive blanks counting as one.
    std::vector<std::string> Words(const std::string& text)
    {
        std::vector<std::string> words;
        std::string::size_type nAt = text.find_first_not_of(' ');
        while (nAt != std::string::npos)
        {
            std::string::size_type nEnd = text.find(' ', nAt);
            words.push_back(text.substr(nAt, nEnd - nAt));
            nAt = nEnd == std::string::npos ? nEnd : text.find_first_not_of(' ', nEnd);
        }
        return words;
    }
}

void ZymChat::DispatchLine(char* pszLine)
{
    if (pszLine == nullptr)
        return;
    try
    {
        IrcMessage message;
        if (!message.Parse(pszLine))
            return;

        if (message.CommandIs("PRIVMSG"))
            OnPrivmsg(message);
        else if (message.CommandIs("NOTICE"))
            OnNotice(message);
        else if (message.CommandIs("INVITE"))
            OnInvite(message);
        else if (message.CommandIs("JOIN"))
            OnJoin(message);
        else if (message.CommandIs("PART"))
            OnPart(message);
        else if (message.CommandIs("NICK"))
            OnNick(message);
        else if (message.CommandIs("KICK"))
            OnKick(message);
        else if (message.CommandIs("QUIT"))
            OnQuit(message);
        else if (message.CommandIs("PING"))
            SendPong(message);
        else
        {
            int nNumeric = message.Numeric();
            if (nNumeric == 322)
                OnListEntry(message);
            else if (nNumeric == 323)
                m_pEventSink->NotifyEvent(CHAT_EVENT_LIST_END, 0);
            else if (nNumeric == 353)
                OnNamesReply(message);
            else if (nNumeric == 372)
                OnMotd(message);
            else if (nNumeric == 5)
                OnSupport(message);
            if (nNumeric >= 1 && nNumeric <= 4)
                OnWelcomeTarget(message);
            if (nNumeric >= 2 && nNumeric <= 4)
                OnWelcome(message);
            else if (nNumeric >= 401 && nNumeric <= 499)
                OnServerError(nNumeric);
        }
    }
    catch (...)
    {
        // A line that cannot be used is dropped; the connection goes on.
    }
}

void ZymChat::OnWelcome(const IrcMessage&)
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

void ZymChat::OnWelcomeTarget(const IrcMessage& message)
{
    // ":server 001 nick :Welcome": the nickname the server knows us by. A
    // server that has none yet writes "*".
    const std::string& target = message.Parameter(0);
    if (target.empty() || target[0] == '*')
        return;
    ZymString confirmed(target.c_str());
    ScopedThreadLock hold(m_TableLock);
    m_ConfirmedNickname = confirmed;
}

void ZymChat::OnSupport(const IrcMessage& message)
{
    ScopedThreadLock hold(m_TableLock);
    m_ServerRules.Read(message);
}

void ZymChat::OnListEntry(const IrcMessage& message)
{
    // ":server 322 nick channel users :topic": the channel, and the channels
    // the topic names.
    char text[kListTextArea];
    text[0] = '\0';
    {
        ScopedThreadLock hold(m_TableLock);
        for (size_t i = 1; i < message.ParameterCount(); ++i)
        {
            for (const std::string& word : Words(message.Parameter(i)))
            {
                if (word.size() < 2 || !m_ServerRules.IsChannel(word))
                    continue;
                if (text[0] != '\0')
                    Append(text, sizeof(text), " ");
                Append(text, sizeof(text), word);
            }
        }
    }
    m_pEventSink->NotifyText(CHAT_EVENT_LIST_ENTRY, text);
}

void ZymChat::OnMotd(const IrcMessage& message)
{
    // ":server 372 nick :- text": the words after the dash word; without
    // one, the words of the text. Each word is followed by one blank.
    char text[kMotdTextArea];
    text[0] = '\0';
    if (message.ParameterCount() >= 2)
    {
        std::vector<std::string> words = Words(message.Parameter(message.ParameterCount() - 1));
        size_t nFirst = !words.empty() && words[0][0] == '-' ? 1 : 0;
        for (size_t i = nFirst; i < words.size(); ++i)
        {
            Append(text, sizeof(text), words[i]);
            Append(text, sizeof(text), " ");
        }
    }
    m_pEventSink->NotifyText(CHAT_EVENT_MOTD, text);
}
