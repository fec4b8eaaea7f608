#include "FuzzChat.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SKException.h"

namespace
{
    // The longest line the component may queue: the wire's 512 less CR LF.
    const int kMaxQueuedLine = DEFAULT_BUFLEN - 2;
    // A server that never ends a line must not grow the read buffer beyond
    // what one read (up to 32 KiB) on top of the longest kept line needs,
    // rounded up by the buffer's doubling.
    const int kLargestRead = 32768;
    const int kMaxAssemblerCapacity = 2 * (LineAssembler::kMaxLineLength + kLargestRead);
}

void FuzzFailure(const char* pszWhat, const std::string& detail)
{
    std::fprintf(stderr, "FINDING: %s: \"%s\"\n", pszWhat, detail.c_str());
    std::abort();
}

void ReactingSink::Attach(FuzzChat* pChat, int nErrorAnswer, bool bReact)
{
    m_pChat = pChat;
    m_nErrorAnswer = nErrorAnswer;
    m_bReact = bReact;
}

void ReactingSink::NotifyEvent(int, int)
{
}

void ReactingSink::NotifyText(int nCode, const char* pszText)
{
    if (pszText != nullptr)
        React(nCode, pszText);
}

int ReactingSink::ReportError(int, const char*)
{
    return m_nErrorAnswer;
}

void ReactingSink::NotifyDetails(int nCode, const ChatEventDetails* pDetails)
{
    // A host joins again the channel it was put out of, and the like.
    React(nCode, pDetails->pszChannel[0] != '\0' ? pDetails->pszChannel : pDetails->pszNickname);
}

void ReactingSink::React(int nCode, const char* pszText)
{
    if (!m_bReact || m_bInReaction || m_pChat == nullptr)
        return;
    m_bInReaction = true;
    // What a host might do with what it hears: echo it, join or leave it,
    // ask for its names, take it as a nickname, pass it on.
    switch (nCode % 6)
    {
    case 0:
        m_pChat->SendChannelMessage(pszText, pszText);
        break;
    case 1:
        m_pChat->JoinChannel(pszText, 0);
        break;
    case 2:
        m_pChat->LeaveChannel(pszText);
        break;
    case 3:
        m_pChat->RequestNames(pszText);
        break;
    case 4:
        m_pChat->SetNickname(pszText);
        break;
    default:
        m_pChat->SendNotice(pszText, pszText, pszText);
        break;
    }
    m_bInReaction = false;
}

FuzzChat::FuzzChat()
{
}

void FuzzChat::Feed(ScriptedSocket& socket, LineAssembler& lines)
{
    while (socket.HasMore())
    {
        try
        {
            ReadChunk(socket, lines);
        }
        catch (SKException&)
        {
            // The background thread ends here.
            return;
        }
        if (lines.Capacity() > kMaxAssemblerCapacity)
            FuzzFailure("read buffer grew past its bound", std::to_string(lines.Capacity()));
        SendQueued(socket);
    }
}

void FuzzChat::SendQueued(ScriptedSocket& socket)
{
    m_Outbox.Signal().Reset();
    for (;;)
    {
        ZymString line;
        try
        {
            if (!TakeNextLine(line))
                return;
        }
        catch (SKException&)
        {
            return;
        }
        const std::string text(line.Text());
        if (line.Length() > kMaxQueuedLine)
            FuzzFailure("queued line longer than 510 characters", text);
        if (text.find_first_of("\r\n") != std::string::npos)
            FuzzFailure("queued line holds CR or LF", text);
        try
        {
            SendQueuedLine(socket, line);
        }
        catch (SKException&)
        {
            return;
        }
        if (socket.TakeSent() != text + "\r\n")
            FuzzFailure("line sent differs from the line queued", text);
    }
}

void FuzzChat::CheckState() const
{
    // A channel's names are mapped only while it is in the table, and
    // members are kept only for the channels so mapped.
    std::string inconsistency = m_Session.Inconsistency();
    if (!inconsistency.empty())
        FuzzFailure("session state out of step", inconsistency);
}
