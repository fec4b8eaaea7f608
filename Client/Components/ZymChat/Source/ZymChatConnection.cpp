#include "ZymChat.h"


#include "DiagnosticLog.h"
#include "LineAssembler.h"
#include "SKException.h"
#include "SendPacing.h"
#include "SessionOutput.h"
#include "ServerSocketFactory.h"
#include "SocketResults.h"
#include "SocketWait.h"
#include "SocketBase.h"

namespace
{
    const int kServerPort = 6667;
    // One receive takes what the socket holds, up to this much: a read per
    // line or per few lines would cost a system call each, and under load
    // those calls, not the lines, would keep the thread busy.
    const int kReadSize = 32768;
    const int kWaitMilliseconds = 100;
    // Quit waits for its QUIT line as long as the background thread keeps
    // taking lines, and gives up after this many waits of kWaitMilliseconds
    // in a row without one (a thread stuck in an alert or a connect), or
    // after the cap in all.
    const int kQuitIdleWaits = 20;
    const int kQuitMaxWaits = 600;
    // With its socket closed the thread ends within one wait; Quit waits
    // that long and a little more, so that a ConnectToServer right after it
    // finds no thread still running and starts one. A thread held in a
    // sink call is waited for no longer than this.
    const int kQuitExitWait = 5 * kWaitMilliseconds;
}

int ZymChat::ConnectToServer(const char* pszServer)
{
    m_ServerName = ZymString(pszServer != nullptr ? pszServer : "");
    if (m_Session.Welcomed())
        return 0;

    Lock();
    bool bStart = m_State == ConnectionState::Idle && !m_bStopping;
    if (bStart)
    {
        // The address is only written while no thread can be reading it.
        UseServerText(pszServer);
        m_State = ConnectionState::Connecting;
    }
    else if ((m_State == ConnectionState::Closing || m_State == ConnectionState::GivenUp ||
              m_State == ConnectionState::ConnectAgain) &&
             !m_bStopping)
    {
        // The thread is still ending a connection that is over or that the
        // host gave up (a sink call may hold it for as long as the host
        // takes, and the host may call from inside it): it connects to this
        // server once it is done.
        m_NextServerText = ZymString(pszServer != nullptr ? pszServer : "");
        m_State = ConnectionState::ConnectAgain;
    }
    Unlock();

    if (bStart && Start() != 0)
    {
        Lock();
        m_State = ConnectionState::Idle;
        Unlock();
    }
    return 1;
}

void ZymChat::UseServerText(const char* pszServer)
{
    // Called under the BaseThread lock: nothing may leave it held. A text
    // that cannot be taken in (no memory) fails as a malformed one does.
    try
    {
        TakeServerText(pszServer);
    }
    catch (...)
    {
        m_Server = ServerText();
    }
}

void ZymChat::TakeServerText(const char* pszServer)
{
    m_Server.Parse(pszServer);
    m_ServerAddress.SetAddress(m_Server.IsValid() ? m_Server.Host().Text() : pszServer);
    m_nPort = m_Server.IsValid() ? m_Server.Port() : kServerPort;
    // A TLS socket is made for one host name; a plain one is kept, as it
    // always was, from one attempt to the next.
    if (m_Server.IsValid() && (m_Server.IsSecure() || m_bSecureSocket))
    {
        std::unique_ptr<SocketBase> pSocket =
            NewServerSocket(m_Server, m_ClientCertificate, DiagnosticLog(m_pLogFile));
        // A form this build cannot speak fails as a malformed text does.
        if (pSocket == nullptr)
        {
            m_Server = ServerText();
            return;
        }
        m_TCPSocket->Disconnect();
        m_TCPSocket = std::move(pSocket);
        m_bSecureSocket = m_Server.IsSecure();
        m_SocketCertificate = m_bSecureSocket ? m_ClientCertificate : CertificateThumbprint();
    }
}

void ZymChat::Quit()
{
    // Without a connection a QUIT would wait in the queue and go out ahead
    // of the next login, and the server would drop that connection at once.
    if (!ConnectionLive())
    {
        // A connect under way is cut short by the host's wish: no failure
        // to report, which a host might answer by connecting again.
        Lock();
        if (m_State != ConnectionState::Idle)
            m_State = ConnectionState::GivenUp;
        Unlock();
        DisconnectSocket();
        if (!OnWorkerThread())
            WaitForExit(kQuitExitWait);
        return;
    }
    if (OnWorkerThread())
    {
        // From a sink call: this thread is the one that sends, so it cannot
        // wait here for its own line; the loop ends the connection once the
        // QUIT line has gone out.
        if (sendTxt("QUIT") == 1)
        {
            Lock();
            m_bQuitPending = true;
            m_nQuitLine = m_Outbox.Counts().Queued();
            Unlock();
        }
        return;
    }
    if (sendTxt("QUIT") == 1)
    {
        long nQuitLine = m_Outbox.Counts().Queued();
        Lock();
        m_nQuitLine = nQuitLine;
        Unlock();
        WaitUntilTaken(nQuitLine);
    }
    // Whatever the thread still reports of this connection, the host has
    // left it; a connect from now on is one of its own.
    Lock();
    if (m_State != ConnectionState::Idle)
        m_State = ConnectionState::GivenUp;
    Unlock();
    DisconnectSocket();
    WaitForExit(kQuitExitWait);
}

void ZymChat::EndListening()
{
    ConnectionState listening = ConnectionState::Listening;
    m_State.compare_exchange_strong(listening, ConnectionState::Closing);
}

bool ZymChat::QuietHeld() const
{
    return m_bStopping || m_State == ConnectionState::GivenUp ||
           m_State == ConnectionState::ConnectAgain;
}

void ZymChat::DisconnectSocket()
{
    // Under the lock: the thread replaces the socket under it when it
    // connects again.
    Lock();
    m_TCPSocket->Disconnect();
    Unlock();
}

bool ZymChat::OnWorkerThread()
{
    Lock();
    bool bWorker = m_State != ConnectionState::Idle && m_WorkerId == std::this_thread::get_id();
    Unlock();
    return bWorker;
}

bool ZymChat::ConnectionLive()
{
    Lock();
    bool bLive = m_State == ConnectionState::Listening && !m_bStopping;
    Unlock();
    return bLive && m_TCPSocket->GetConnectionState() == 1;
}

void ZymChat::WaitUntilTaken(long nLines)
{
    long nLastTaken = m_Outbox.Counts().Taken();
    int nIdle = 0;
    for (int i = 0; i < kQuitMaxWaits && nIdle < kQuitIdleWaits; ++i)
    {
        Lock();
        bool bActive = m_State != ConnectionState::Idle;
        Unlock();
        if (nLastTaken >= nLines || !bActive)
            return;
        WaitForSignal(kWaitMilliseconds);
        long nTaken = m_Outbox.Counts().Taken();
        nIdle = nTaken == nLastTaken ? nIdle + 1 : 0;
        nLastTaken = nTaken;
    }
}

void ZymChat::ReportNetworkError(int nCode, const char* pszText)
{
    // Once destruction has begun the host may be inside Release, and after
    // a Quit that cut the connect short there is no failure to tell of: the
    // host hears nothing more, and the failure only ends the thread.
    Lock();
    // A connect that failed is over: a ConnectToServer from here on, the
    // host's answer to this report included, makes the next one.
    ConnectionState connecting = ConnectionState::Connecting;
    m_State.compare_exchange_strong(connecting, ConnectionState::Closing);
    bool bQuiet = QuietHeld();
    Unlock();
    if (bQuiet)
        throw SKException("ChatNetworkingError");
    if (m_pEventSink->ReportError(nCode, pszText) != 0)
        throw SKException("ChatNetworkingError");
}

void ZymChat::Run()
{
    for (;;)
    {
        RunConnection();
        Lock();
        bool bAgain = m_State == ConnectionState::ConnectAgain && !m_bStopping;
        m_State = bAgain ? ConnectionState::Connecting : ConnectionState::Idle;
        if (bAgain)
            UseServerText(m_NextServerText.Text());
        Unlock();
        if (!bAgain)
            return;
    }
}

void ZymChat::RunConnection()
{
    Lock();
    bool bStopping = QuietHeld();
    m_WorkerId = std::this_thread::get_id();
    m_bQuitPending = false;
    long nQuitLine = m_nQuitLine;
    Unlock();
    // A QUIT that the last connection ended before sending would end this
    // one as soon as it went out.
    DropLinesThrough(nQuitLine);
    try
    {
        if (!bStopping && !m_Server.IsValid())
        {
            Log("The server text is malformed\n");
            ReportNetworkError(-1001, "-1001 connection error occured");
        }
        else if (!bStopping)
        {
            int nResult = m_TCPSocket->Connect(m_ServerAddress, m_nPort);
            if (nResult == ZymNetworkNotStarted)
            {
                Log("The network is not yet initialized\n");
                ReportNetworkError(-1005, "-1005 network unitialized error");
            }
            else if (nResult == ZymClientCertificateNotFound ||
                     nResult == ZymClientCertificateUnusable)
            {
                Log("The client certificate cannot be presented: %d\n", nResult);
                m_TCPSocket->Disconnect();
                std::string text = "-1013 client certificate " + m_SocketCertificate.Text() +
                                   (nResult == ZymClientCertificateNotFound
                                        ? " is in no MY certificate store"
                                        : " cannot be presented: its private key is unusable "
                                          "or the TLS library would not send it");
                ReportNetworkError(-1013, text.c_str());
            }
            else if (nResult != ZymSocketOk)
            {
                Log("m_TCPSocket->Connect() returned %d\n", nResult);
                // A socket whose connect failed is not used again: the next
                // attempt gets a fresh one.
                m_TCPSocket->Disconnect();
                ReportNetworkError(-1001, "-1001 connection error occured");
            }
            else if (QueueLoginLines())
            {
                try
                {
                    ListenLoop();
                }
                catch (SKException& e)
                {
                    Log("%s%s\n", LogTime(), e.GetMessage());
                }
                catch (...)
                {
                    Log("%s%s\n", LogTime(), "caught an unknown exception");
                }
                Log("%s%s\n", LogTime(), "The background chat thread is exiting.\n");
            }
        }
    }
    catch (...)
    {
    }
    m_Session.ConnectionEnded();
}

bool ZymChat::QueueLoginLines()
{
    SessionOutput out;
    m_Session.LoginLines(m_bSecureSocket, m_SocketCertificate.IsSet(), out);
    return Route(out) == 1;
}

void ZymChat::ListenLoop()
{
    LineAssembler lines;
    WakeSocket& wake = m_Outbox.Signal().Wake();
    Lock();
    if (!m_bStopping && m_State == ConnectionState::Connecting)
        m_State = ConnectionState::Listening;
    Unlock();
    if (!wake.IsOpen())
        Log("No wake socket: queued lines leave at the end of a wait\n");

    // Set while the last read filled its whole request: the socket then
    // most likely holds more, and asking how much replaces the select.
    bool bMore = false;
    while (m_State == ConnectionState::Listening)
    {
        SocketBase* pSocket = m_TCPSocket.get();
        short nIndex = 0;
        bool bWoken = false;
        int nAvailable = 0;
        int nWait = ZymSocketOk;
        if (!bMore || pSocket->BytesAvailable(&nAvailable) != ZymSocketOk)
            nWait = WaitForReadableOrWake(
                &pSocket, 1, &wake,
                m_Outbox.WaitMilliseconds(SendPacing::Clock::now(), kWaitMilliseconds), &nIndex,
                &bWoken);
        if (bWoken)
            wake.Drain();
        SendPacing::Clock::time_point now = SendPacing::Clock::now();
        if (m_Outbox.MayLeave(now))
        {
            ProcessCommandEvent();
            EndConnectionAfterQuit();
            // Counted from the end of the send, so that a send held up on
            // its way out does not shorten the gap to the next line.
            m_Outbox.Left(SendPacing::Clock::now());
        }
        bMore = false;
        if (nWait == ZymSocketOk)
        {
            bMore = ReadChunk(*m_TCPSocket, lines);
        }
        else if (nWait != ZymNothingToRead && nWait != ZymFnctnTimedOutErr)
        {
            EndListening();
            Log("%sNot ZymFnctnTimedOutErr.  Error = %d\n", LogTime(), nWait);
        }
    }
    Log("Exiting the listen thread\n");
}

bool ZymChat::ReadChunk(SocketBase& socket, LineAssembler& lines)
{
    char* pTail = lines.ReserveTail(kReadSize);
    int nRead = kReadSize;
    int nResult = socket.Receive(pTail, &nRead);
    // Receive leaves the count alone when the socket is no longer connected
    // (Quit or destruction closed it meanwhile): nothing was read then.
    if (nResult == ZymSocketOk && socket.GetConnectionState() != 1)
        nRead = 0;
    if (m_pLogFile != nullptr)
        Log("%sm_TCPSocket->Receive() read %d bytes\n", LogTime(),
            nResult == ZymSocketOk ? nRead : 0);

    if (nResult == ZymConnectionAborted)
    {
        Log("m_TCPSocket->Receive() returned %d.  The network must already be shut down.\n",
            nResult);
        return false;
    }
    if (nResult != ZymSocketOk)
    {
        Log("received error %d in m_TCPSocket->Receive()\n", nResult);
        ReportNetworkError(-1002, "-1002 receive error");
        return false;
    }

    lines.Commit(nRead, [this](char* pszLine) {
        // The time is only looked up for an open log: per line, it would
        // cost more than the line's dispatch.
        if (m_pLogFile != nullptr)
            Log("%s%s\n", LogTime(), pszLine);
        DispatchLine(pszLine);
    });
    return nRead == kReadSize;
}

void ZymChat::EndConnectionAfterQuit()
{
    Lock();
    bool bEnd = m_bQuitPending && m_Outbox.Counts().Taken() >= m_nQuitLine;
    if (bEnd)
    {
        m_bQuitPending = false;
        EndListening();
    }
    Unlock();
    if (bEnd)
        m_TCPSocket->Disconnect();
}
