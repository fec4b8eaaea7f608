#include "ZymChat.h"

#include <cstring>
#include <ctime>

#include "IrcMessage.h"
#include "OutgoingLine.h"
#include "SKException.h"
#include "SendWhole.h"
#include "SocketBase.h"
#include "ZymAlert.h"

int ZymChat::sendTxt(const char* pszText, LineSlot slot)
{
    if (pszText == nullptr)
        return 0;
    if (!OutgoingLine::IsSendable(pszText))
    {
        Log("sendTxt() refused a line of %d characters, %d\n",
            static_cast<int>(std::strlen(pszText)), static_cast<int>(std::time(nullptr)));
        return 0;
    }
    // The time is looked up for an open log only: it is the first line's
    // cost on its way to the server.
    if (m_pLogFile != nullptr)
        Log("sendTxt(\"%s\"), %d\n", pszText, static_cast<int>(std::time(nullptr)));
    if (slot == LATEST_PONG)
        return m_Outbox.QueuePong(pszText) ? 1 : 0;
    return m_Outbox.Queue(pszText) ? 1 : 0;
}

bool ZymChat::TakeNextLine(ZymString& line)
{
    if (!m_Outbox.Take(line))
        return false;
    m_Outbox.Sent();
    return true;
}

void ZymChat::DropLinesThrough(long nLine)
{
    ZymString line;
    while (m_Outbox.TakeUnsentBefore(nLine, line))
        Log("dropped \"%s\", queued for an earlier connection\n", line.Text());
}

void ZymChat::ProcessCommandEvent()
{
    ZymString line;
    try
    {
        if (!m_Outbox.Take(line))
        {
            ZymAlert("Caught an SKException in ProcessCommandEvent()");
            return;
        }
    }
    catch (...)
    {
        ZymAlert("Caught an exception in ProcessCommandEvent()");
        return;
    }

    // Counts the line as taken once it has gone out (or failed to), and
    // wakes a Quit that waits for it, on every way out: a Quit that closed
    // the connection while its line was still being sent would cut the line
    // short.
    struct TakenMark
    {
        ZymChat* m_pChat;
        // Not through the virtual table: the host's thread may be
        // destroying the object meanwhile, which rewrites it.
        ~TakenMark()
        {
            m_pChat->m_Outbox.Sent();
            m_pChat->BaseThread::Signal();
        }
    } mark = {this};

    SendQueuedLine(*m_TCPSocket, line);
}

void ZymChat::SendQueuedLine(SocketBase& socket, const ZymString& line)
{
    int nLength = line.Length();
    // sendTxt queues no such line; the alert marks a fault of the component.
    if (nLength + 2 > DEFAULT_BUFLEN)
    {
        ZymAlert("Attempting to send a buffer that is longer than DEFAULT_BUFLEN");
        return;
    }
    char buffer[DEFAULT_BUFLEN + 1];
    std::memcpy(buffer, line.Text(), nLength);
    buffer[nLength] = '\r';
    buffer[nLength + 1] = '\n';
    buffer[nLength + 2] = '\0';

    if (m_pLogFile != nullptr)
        Log("%sm_TCPSocket->Send(\"%s\")\n", LogTime(), line.Text());
    int nSent = 0;
    int nResult = SendWhole(socket, buffer, nLength + 2, &nSent);
    if (nResult != 0)
    {
        Log("m_TCPSocket->Send() returned %d\n", nResult);
        ReportNetworkError(-1002, "-1002 send error occured");
        return;
    }
    if (m_pLogFile != nullptr)
        Log("%sm_TCPSocket->Send() sent %d bytes\n", LogTime(), nSent);
}

int ZymChat::SendPong(const IrcMessage& ping)
{
    // The answer carries the PING's first parameter back.
    if (sendTxt(OutgoingLine::Pong(ping.Parameter(0)).c_str(), LATEST_PONG) != 1)
        throw SKException("sendTxt failed.");
    return 1;
}
