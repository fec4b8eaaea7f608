#include "ZymChat.h"

#include <cstring>
#include <ctime>

#include "SKException.h"
#include "SendWhole.h"
#include "TCPSocket.h"
#include "ZymAlert.h"

namespace
{
    // "PONG :" and the token must stay within one line on the wire.
    const int kMaxPongToken = DEFAULT_BUFLEN - 2 - 6;

    // The parameter of a PING line, prefix and command word skipped: the
    // trailing text after a colon, else the first word. Null when none.
    const char* PingParameter(const char* pszLine, int* pLength)
    {
        const char* p = pszLine;
        if (*p == ':')
        {
            while (*p != '\0' && *p != ' ')
                ++p;
            while (*p == ' ')
                ++p;
        }
        if (std::strncmp(p, "PING", 4) != 0)
            return nullptr;
        p += 4;
        if (*p != ' ')
            return nullptr;
        while (*p == ' ')
            ++p;
        int nLength = 0;
        if (*p == ':')
        {
            ++p;
            nLength = static_cast<int>(std::strlen(p));
        }
        else
        {
            while (p[nLength] != '\0' && p[nLength] != ' ')
                ++nLength;
        }
        if (nLength == 0)
            return nullptr;
        *pLength = nLength < kMaxPongToken ? nLength : kMaxPongToken;
        return p;
    }
}

int ZymChat::sendTxt(const char* pszText)
{
    if (pszText == nullptr)
        return 0;
    Log("sendTxt(\"%s\"), %d\n", pszText, static_cast<int>(std::time(nullptr)));
    // Counted before the push, so that a count read after a line was pushed
    // includes that line whichever thread pushed first.
    ++m_nLinesQueued;
    try
    {
        m_pCommandQueue->push(ZymString(pszText));
    }
    catch (...)
    {
        --m_nLinesQueued;
        return 0;
    }
    try
    {
        m_CommandEvent.Signal();
    }
    catch (...)
    {
        return 0;
    }
    return 1;
}

void ZymChat::ProcessCommandEvent()
{
    ZymString line;
    try
    {
        line = m_pCommandQueue->pop();
    }
    catch (SKException&)
    {
        ZymAlert("Caught an SKException in ProcessCommandEvent()");
        return;
    }
    catch (...)
    {
        ZymAlert("Caught an exception in ProcessCommandEvent()");
        return;
    }

    // Counts the line as taken on every way out, and wakes a Quit that waits
    // for its line.
    struct TakenMark
    {
        ZymChat* m_pChat;
        ~TakenMark()
        {
            ++m_pChat->m_nLinesTaken;
            // Not through the virtual table: the host's thread may be
            // destroying the object meanwhile, which rewrites it.
            m_pChat->BaseThread::Signal();
        }
    } mark = {this};

    SendQueuedLine(*m_TCPSocket, line);
}

void ZymChat::SendQueuedLine(SocketBase& socket, const ZymString& line)
{
    int nLength = line.Length();
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

    Log("%sm_TCPSocket->Send(\"%s\")\n", LogTime(), line.Text());
    int nSent = 0;
    int nResult = SendWhole(socket, buffer, nLength + 2, &nSent);
    if (nResult != 0)
    {
        Log("m_TCPSocket->Send() returned %d\n", nResult);
        if (m_pEventSink->ReportError(-1002, "-1002 send error occured") != 0)
            throw SKException("ChatNetworkingError");
        return;
    }
    Log("%sm_TCPSocket->Send() sent %d bytes\n", LogTime(), nSent);
}

int ZymChat::SendPong(const char* pszPingLine)
{
    int nLength = 0;
    const char* pszToken = pszPingLine != nullptr ? PingParameter(pszPingLine, &nLength) : nullptr;
    ZymString reply("PONG");
    if (pszToken != nullptr)
    {
        reply += ZymString(" :");
        reply += ZymString(pszToken, nLength);
    }
    if (sendTxt(reply.Text()) != 1)
        throw SKException("sendTxt failed.");
    return 1;
}
