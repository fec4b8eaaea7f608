#include "ZymChat.h"

#include <cstring>
#include <ctime>

#include "InboundFields.h"
#include "ScopedThreadLock.h"
#include "Tokenizer.h"

using namespace InboundFields;

namespace
{
    // Text areas of the handlers here, terminator included.
    const size_t kChannelArea = 500;
    const size_t kNicknameArea = 500;

    int Now()
    {
        return static_cast<int>(std::time(nullptr));
    }

    // The sender's prefix as written, colon included: up to its "!", or the
    // whole first word when there is none. False for a line without prefix.
    bool CopyPrefix(const char* pszLine, const char* pszCommand, char* pArea, size_t nAreaSize)
    {
        pArea[0] = '\0';
        if (pszCommand == nullptr || pszCommand == pszLine)
            return false;
        int nSender = SenderLength(pszLine, pszCommand);
        size_t nLength = nSender >= 0 ? static_cast<size_t>(nSender)
                                      : static_cast<size_t>(pszCommand - pszLine - 1);
        AppendText(pArea, nAreaSize, pszLine, nLength);
        return true;
    }

    // The sender's nickname, without the colon: the prefix up to its "!".
    // False for a line without one.
    bool CopySenderNick(const char* pszLine, const char* pszCommand, char* pArea,
                        size_t nAreaSize)
    {
        int nSender = SenderLength(pszLine, pszCommand);
        if (nSender < 1)
            return false;
        pArea[0] = '\0';
        AppendText(pArea, nAreaSize, pszLine + 1, static_cast<size_t>(nSender - 1));
        return true;
    }

    ZymString MemberText(const ZymString& hostName, const char* pszNick)
    {
        ZymString text(hostName);
        text += " ";
        text += pszNick;
        return text;
    }

    // Texts handed to the sink once the table lock is released.
    void Deliver(ChatEventSink* pSink, int nCode, TList<ZymString>& texts)
    {
        for (TList<ZymString>::ConstIterator it(texts); it.hasCurrent(); it.Step())
            pSink->NotifyText(nCode, it.iterator().Text());
    }
}

void ZymChat::OnJoin(char* pszLine)
{
    const char* pszCommand = CommandWord(pszLine);
    // Servers write the channel with or without a colon before it.
    const char* pszChannel = NextWord(pszCommand);
    if (pszChannel == nullptr)
        return;
    if (pszChannel[0] == ':')
        ++pszChannel;
    char channel[kChannelArea];
    CopyWord(pszChannel, channel, sizeof(channel));
    char prefix[kNicknameArea];
    if (channel[0] == '\0' || !CopyPrefix(pszLine, pszCommand, prefix, sizeof(prefix)))
        return;

    ZymString serverName(channel);
    ZymString notice;
    bool bNotify = false;
    {
        ScopedThreadLock hold(m_TableLock);

        size_t nPrefix = std::strlen(prefix);
        size_t nCompared = nPrefix;
        if (nCompared > 0 && (prefix[0] == ':' || prefix[1] == '@'))
            --nCompared;
        const ZymString& own = OwnNicknameHeld();
        size_t nOwn = static_cast<size_t>(own.Length());
        if (nOwn > 0 && nCompared == nOwn &&
            EqualsIgnoringCase(prefix + nPrefix - nOwn, own.Text()))
        {
            ResolveOwnJoin(serverName);
            return;
        }

        const char* pszNick = prefix[0] == ':' ? prefix + 1 : prefix;
        if (m_HostNames.hasKey(serverName))
        {
            notice = MemberText(m_HostNames.lookup(serverName), pszNick);
            bNotify = true;
        }
        else
        {
            Log("---> We just got a join from a channel we don't think we're in: %s, %d\n",
                channel, Now());
        }
        if (pszNick[0] == '@' || pszNick[0] == ':')
            ++pszNick;
        AddMember(ZymString(pszNick), serverName);
    }
    if (bNotify)
        m_pEventSink->NotifyText(CHAT_EVENT_MEMBER, notice.Text());
}

void ZymChat::OnPart(char* pszLine)
{
    const char* pszCommand = CommandWord(pszLine);
    Tokenizer words(pszCommand, ' ');
    if (words.GetCount() < 2)
        return;
    // The channel word alone: a reason may follow it, and servers write the
    // word with a colon before it when no reason does.
    const char* pszChannel = words.GetToken(1);
    if (pszChannel[0] == ':')
        ++pszChannel;
    char channel[kChannelArea];
    CopyWord(pszChannel, channel, sizeof(channel));

    char nick[kNicknameArea];
    if (!CopySenderNick(pszLine, pszCommand, nick, sizeof(nick)))
        return;

    ZymString serverName(channel);
    ZymString notice;
    bool bNotify = false;
    {
        ScopedThreadLock hold(m_TableLock);
        const ZymString& own = OwnNicknameHeld();
        if (own.Length() > 0 && EqualsIgnoringCase(nick, own.Text()))
        {
            HandleOwnPart(serverName);
            return;
        }

        if (m_HostNames.hasKey(serverName))
        {
            notice = MemberText(m_HostNames.lookup(serverName), nick);
            bNotify = true;
        }
        else
        {
            Log("---> Just got a PART message from a channel we don't think we're in: %s, %d\n",
                channel, Now());
        }
        m_Members.Remove(nick, channel);
    }
    if (bNotify)
        m_pEventSink->NotifyText(CHAT_EVENT_PART, notice.Text());
}

void ZymChat::OnNick(char* pszLine)
{
    const char* pszCommand = CommandWord(pszLine);
    char oldNick[kNicknameArea];
    if (!CopyPrefix(pszLine, pszCommand, oldNick, sizeof(oldNick)))
        return;

    // The new nickname is the parameter, written with or without a colon.
    char newNick[kNicknameArea];
    newNick[0] = '\0';
    const char* pszTrailing = Trailing(pszCommand);
    if (pszTrailing != nullptr)
        AppendText(newNick, sizeof(newNick), pszTrailing, std::strlen(pszTrailing));
    else
        CopyWord(NextWord(pszCommand), newNick, sizeof(newNick));
    if (newNick[0] == '\0' || oldNick[1] == '\0')
        return;

    ZymString oldName(oldNick + 1);
    ZymString newName(newNick);
    ZymString base(oldName);
    base += " ";
    base += newName;
    base += " ";

    TList<ZymString> texts;
    {
        ScopedThreadLock hold(m_TableLock);
        // A server may rename us without being asked, and confirms a rename
        // we asked for the same way: our own lines are recognised by it.
        const ZymString& own = OwnNicknameHeld();
        if (own.Length() > 0 && EqualsIgnoringCase(oldName.Text(), own.Text()))
        {
            m_ConfirmedNickname = newName;
            m_Nickname = newName;
        }
        for (const std::string& channel : m_Members.Rename(oldName.Text(), newName.Text()))
        {
            ZymString serverName(channel.c_str());
            if (!m_HostNames.hasKey(serverName))
                continue;
            ZymString text(base);
            text += m_HostNames.lookup(serverName);
            texts.append(text);
        }
    }
    Deliver(m_pEventSink, CHAT_EVENT_NICK, texts);
}

void ZymChat::OnNamesReply(char* pszLine)
{
    const char* pszChannel = std::strchr(pszLine, '#');
    if (pszChannel == nullptr)
        return;
    char channel[kChannelArea];
    CopyWord(pszChannel, channel, sizeof(channel));

    const char* pszNames = pszChannel + WordLength(pszChannel);
    while (*pszNames == ' ')
        ++pszNames;
    if (*pszNames == ':')
        ++pszNames;

    ZymString serverName(channel);
    TList<ZymString> texts;
    {
        ScopedThreadLock hold(m_TableLock);
        if (!m_HostNames.hasKey(serverName))
        {
            Log("---> Got a name for a channel we don't think we're in: %s, %d\n", channel,
                Now());
            return;
        }
        ZymString hostName = m_HostNames.lookup(serverName);

        for (const char* p = pszNames; *p != '\0';)
        {
            if (*p == ' ')
            {
                ++p;
                continue;
            }
            size_t nLength = WordLength(p);
            ZymString name(p, static_cast<int>(nLength));
            texts.append(MemberText(hostName, name.Text()));
            // An operator's mark is not part of the nickname.
            const char* pszNick = name.Text();
            if (pszNick[0] == '@' || pszNick[0] == ':')
                ++pszNick;
            AddMember(ZymString(pszNick), serverName);
            p += nLength;
        }
    }
    Deliver(m_pEventSink, CHAT_EVENT_MEMBER, texts);
}

void ZymChat::OnKick(char* pszLine)
{
    // ":op!u@h KICK #channel nick :reason"
    const char* pszChannel = NextWord(CommandWord(pszLine));
    const char* pszVictim = NextWord(pszChannel);
    if (pszChannel == nullptr || pszVictim == nullptr)
        return;
    char channel[kChannelArea];
    CopyWord(pszChannel, channel, sizeof(channel));
    char victim[kNicknameArea];
    CopyWord(pszVictim[0] == ':' ? pszVictim + 1 : pszVictim, victim, sizeof(victim));

    ScopedThreadLock hold(m_TableLock);
    const ZymString& own = OwnNicknameHeld();
    // Kicked ourselves: like a PART we did not ask for, the channel stays
    // listed, and none of its members are ours to know any more.
    if (own.Length() > 0 && EqualsIgnoringCase(victim, own.Text()))
        m_Members.RemoveChannel(channel);
    else
        m_Members.Remove(victim, channel);
}

void ZymChat::OnQuit(char* pszLine)
{
    char nick[kNicknameArea];
    if (!CopySenderNick(pszLine, CommandWord(pszLine), nick, sizeof(nick)))
        return;
    ScopedThreadLock hold(m_TableLock);
    m_Members.RemoveNickname(nick);
}

const ZymString& ZymChat::OwnNicknameHeld() const
{
    return m_ConfirmedNickname.Length() > 0 ? m_ConfirmedNickname : m_Nickname;
}
