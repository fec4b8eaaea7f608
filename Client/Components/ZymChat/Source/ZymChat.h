#ifndef ZYM_ZYMCHAT_H
#define ZYM_ZYMCHAT_H

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "BaseThread.h"
#include "ChatEventSink.h"
#include "ExtendedChatComponent.h"
#include "ExtendedChatEventSink.h"
#include "CertificateThumbprint.h"
#include "ChatSession.h"
#include "ConnectionState.h"
#include "Outbox.h"
#include "ServerText.h"
#include "SessionOutput.h"
#include "SocketAddress.h"
#include "SystemCrypto.h"
#include "ZymString.h"

class IrcMessage;
class LineAssembler;
class SocketBase;

// The longest protocol line on the wire, CR LF included.
const int DEFAULT_BUFLEN = 512;

// SendMessage is declared with the Win32 macro out of the way, as in the
// interface it overrides.
#pragma push_macro("SendMessage")
#undef SendMessage

// The chat component object: the host drives it through ChatComponent (or
// ExtendedChatComponent, whose table begins with ChatComponent's) on its own
// thread, and its one background thread (the BaseThread worker) owns the
// network.
class ZymChat : public BaseThread, public ExtendedChatComponent
{
public:
    // bExtendedInterface: made by the extended interface's name, so
    // GetInterface hands that interface out.
    explicit ZymChat(bool bExtendedInterface = false);
    virtual ~ZymChat();

    // BaseComponent (ZymChat.cpp)
    virtual void* GetInterface(const char* pszName, int nType);

    // Forwarders, setters and reserved operations (ZymChat.cpp)
    virtual void SetEventSink(ChatEventSink* pSink);
    virtual int Connect(const char* pszServer);
    virtual void Reserved1();
    virtual void Reserved2();
    virtual int SendMessage(const char* pszChannel, const char* pszMessage);
    virtual void Reserved3();
    virtual void Reserved4();
    virtual void Join(const char* pszChannel);
    virtual void EnterChannel(const char* pszChannel);
    virtual void SetHostText(const char* pszText);
    virtual void SetRealName(const char* pszRealName);
    virtual void SetUserName(const char* pszUserName);
    virtual void SetOptionFlag(unsigned char bFlag);

    // Connection and quitting (ZymChatConnection.cpp)
    virtual int ConnectToServer(const char* pszServer);
    virtual void Quit();

    // Chat commands (ZymChatCommands.cpp)
    virtual void SendPrivateMessage(const char* pszChannel, const char* pszMessage,
                                    const char* pszNickname);
    virtual void ListChannels();
    virtual void RequestNames(const char* pszChannel);
    virtual void SetNickname(const char* pszNickname);
    virtual int SendChannelMessage(const char* pszChannel, const char* pszMessage);
    virtual void SendInvite(const char* pszChannel, const char* pszNickname);
    virtual void SendAttributeUpdate(const char* pszKey, const char* pszValue);

    // Channel table operations of the host (ZymChatCommands.cpp; the table is
    // the session's)
    virtual void LeaveChannel(const char* pszChannel);
    virtual void JoinChannel(const char* pszChannel, int nKind);

    // Notice and mode commands (ZymChatCommands.cpp)
    virtual void SendNotice(const char* pszTarget, const char* pszMessage,
                            const char* pszExtra);
    virtual void SetMode(const char* pszTarget, const char* pszMode, const char* pszArgument);

    // ExtendedChatComponent (ZymChat.cpp)
    virtual void SetExtendedEventSink(ExtendedChatEventSink* pSink);
    virtual int RequestCapability(const char* pszName);
    virtual int SetSaslLogin(const char* pszMechanism, const char* pszAccount,
                             const char* pszPassword, int nFlags);
    virtual int SetClientCertificate(const char* pszThumbprint);

protected:
    // Background thread body and receive loop (ZymChatConnection.cpp)
    virtual void Run();
    // One connection: connect, log in, listen until it ends.
    void RunConnection();
    void ListenLoop();
    // Closes the connection from the host's thread.
    void DisconnectSocket();
    // The receive loop ends at its next check.
    void EndListening();
    // A Quit or destruction has made the thread's failures no news.
    bool QuietHeld() const;
    // Queues the NICK and USER lines; false when queuing failed.
    bool QueueLoginLines();
    // One Receive from the socket into the assembler, and the dispatch of
    // every line it completes; true when the read filled its whole request.
    bool ReadChunk(SocketBase& socket, LineAssembler& lines);
    // ReportError on the sink; a nonzero answer raises "ChatNetworkingError".
    void ReportNetworkError(int nCode, const char* pszText);
    // Takes the server text apart into address, port and the kind of
    // socket; called under the BaseThread lock while no thread uses the
    // socket.
    void UseServerText(const char* pszServer);
    void TakeServerText(const char* pszServer);
    // Bounded wait until the background thread has taken nLines lines.
    void WaitUntilTaken(long nLines);
    // Closes the connection once a Quit of the background thread has had
    // its line sent.
    void EndConnectionAfterQuit();
    // True on the background thread of this object.
    bool OnWorkerThread();
    // Whether a connection is up and logged in or logging in.
    bool ConnectionLive();

    // Send path (ZymChatSend.cpp)
    enum LineSlot
    {
        // Queued behind every line queued before it.
        QUEUE_IN_ORDER,
        // Goes out before the queued lines, and replaces an answer to an
        // earlier PING that is still waiting.
        LATEST_PONG
    };
    // The one way a line is queued: a line that IsSendable refuses (a line
    // break, or longer than one line on the wire) is never queued and gives 0.
    int sendTxt(const char* pszText, LineSlot slot = QUEUE_IN_ORDER);
    void ProcessCommandEvent();
    // The next line to send (Outbox::Take); false when there is none.
    bool TakeNextLine(ZymString& line);
    // Sends one taken line with CR LF on the socket, reporting a failure.
    void SendQueuedLine(SocketBase& socket, const ZymString& line);
    // Takes lines off the queue unsent until line count nLine has been
    // taken: a QUIT that an ended connection never sent, with the lines
    // queued for that connection before it.
    void DropLinesThrough(long nLine);
    int SendPong(const IrcMessage& ping);

    // Line routing (ZymChatInbound.cpp): the line is parsed once; the
    // session keeps what it says, the component answers PINGs and reports
    // the list's end and the server's errors.
    void DispatchLine(char* pszLine);
    // Queues the session's lines, writes its log entries, tells the host
    // its events (the extended host also those with details) and reports
    // its failures, in that order; ends the connection when the session or
    // the host's answer to a failure asks for it. 1 when every line was
    // queued, else 0.
    int Route(const SessionOutput& out);
    void NotifyDetail(const SessionOutput::Detail& detail);

    // Server error replies (ZymChatServerErrors.cpp)
    void OnServerError(int nNumeric);

    // Diagnostic log (ZymChat.cpp): written only while m_pLogFile is set.
    void Log(const char* pszFormat, ...);
    // The local time in asctime form, ending with its own line break.
    static const char* LogTime();

    ChatEventSink* m_pEventSink;
    // The same sink when the host handed it over as extended, else null.
    ExtendedChatEventSink* m_pExtendedSink;
    const bool m_bExtendedInterface;
    std::unique_ptr<SocketBase> m_TCPSocket;
    SocketAddress m_ServerAddress;
    int m_nPort;
    unsigned char m_bOptionFlag;
    ZymString m_HostText;
    ZymString m_ServerName;
    FILE* m_pLogFile;
    // The lines waiting for the server, with their counts (Quit waits until
    // its QUIT line has been taken) and their pacing. Declared before the
    // session, which reads the counts.
    Outbox m_Outbox;
    // The channel table, its name maps, the members, our attributes and
    // names, under the session's own lock. Its SCRAM logins use the system's
    // cryptography, declared before it.
    SystemCrypto m_Crypto;
    ChatSession m_Session;

    // Changed under the BaseThread lock, except that the thread ends its
    // own listening; read by the receive loop without the lock. A second
    // ConnectToServer cannot start a second thread while it is not Idle.
    std::atomic<ConnectionState> m_State;
    // Set by the destructor: the thread neither connects nor starts
    // listening any more.
    bool m_bStopping;
    // The background thread, set by Run under the BaseThread lock.
    std::thread::id m_WorkerId;
    // A Quit made on the background thread (from a sink call): the loop ends
    // the connection once the line count m_nQuitLine has been taken. The
    // count of the last QUIT queued on either thread stays in m_nQuitLine,
    // so that the next connection can drop it when it never went out.
    // Under the BaseThread lock.
    bool m_bQuitPending;
    long m_nQuitLine;
    // The server of a ConnectToServer made while the thread was still
    // ending a given-up connection (ConnectionState::ConnectAgain).
    ZymString m_NextServerText;
    // The last server text that started the thread, taken apart; written
    // only while no thread runs. m_TCPSocket carries a TLS layer when
    // m_bSecureSocket is set.
    ServerText m_Server;
    bool m_bSecureSocket;
    // The client certificate the host named, under the BaseThread lock; and
    // the one the TLS layer of m_TCPSocket presents (empty without TLS),
    // written only while no thread runs.
    CertificateThumbprint m_ClientCertificate;
    CertificateThumbprint m_SocketCertificate;
};

#pragma pop_macro("SendMessage")

#endif
