#include "ZymChat.h"

#include <cstdarg>
#include <cstring>
#include <ctime>

#include "ChatLogSetting.h"
#include "DiagnosticLog.h"
#include "TCPSocket.h"

namespace
{
    // Queued lines leave at least this far apart.
    const int kSendIntervalMs = 100;
}

ZymChat::ZymChat(bool bExtendedInterface)
    : BaseThread(-1),
      m_pEventSink(nullptr),
      m_pExtendedSink(nullptr),
      m_bExtendedInterface(bExtendedInterface),
      m_nPort(0),
      m_bOptionFlag(1),
      m_HostText(16),
      m_pLogFile(nullptr),
      m_Outbox(kSendIntervalMs),
      m_Session(m_Outbox.Counts(), m_Crypto),
      m_State(ConnectionState::Idle),
      m_bStopping(false),
      m_bQuitPending(false),
      m_nQuitLine(0),
      m_bSecureSocket(false)
{
    m_TCPSocket.reset(new TCPSocket());
    m_pLogFile = OpenConfiguredChatLog();
}

ZymChat::~ZymChat()
{
    if (m_pLogFile != nullptr)
        Log("%sIn ~ZymChat()\n", LogTime());

    Lock();
    EndListening();
    m_bStopping = true;
    Unlock();

    m_TCPSocket->Disconnect();
    WaitForExit(-1);
    // A thread that was connecting while the first Disconnect ran may have
    // left a socket of its own behind.
    m_TCPSocket->Disconnect();

    m_TCPSocket.reset();
    if (m_pLogFile != nullptr)
        std::fclose(m_pLogFile);
}

void* ZymChat::GetInterface(const char* pszName, int nType)
{
    if (pszName == nullptr || (nType != 1 && nType != 2))
        return nullptr;
    // The extended interface only from an object made by its name, whose
    // host expects it.
    bool bExtended = m_bExtendedInterface && std::strcmp(pszName, "ExtendedChatComponent") == 0;
    if (!bExtended && std::strcmp(pszName, "ChatComponent") != 0)
        return nullptr;
    AddRef();
    if (bExtended)
        return static_cast<ExtendedChatComponent*>(this);
    return static_cast<ChatComponent*>(this);
}

void ZymChat::SetEventSink(ChatEventSink* pSink)
{
    m_pEventSink = pSink;
    m_pExtendedSink = nullptr;
    // A host that handed over an extended sink before and today's now is
    // today's host: its lines and events are as they always were.
    m_Session.SetExtendedHost(false);
}

void ZymChat::SetExtendedEventSink(ExtendedChatEventSink* pSink)
{
    m_pEventSink = pSink;
    m_pExtendedSink = pSink;
    m_Session.SetExtendedHost();
}

int ZymChat::RequestCapability(const char* pszName)
{
    return m_Session.RequestCapability(pszName) ? 1 : 0;
}

int ZymChat::SetSaslLogin(const char* pszMechanism, const char* pszAccount,
                          const char* pszPassword, int nFlags)
{
    return m_Session.SetSaslLogin(pszMechanism, pszAccount, pszPassword, nFlags) ? 1 : 0;
}

int ZymChat::SetClientCertificate(const char* pszThumbprint)
{
    Lock();
    bool bTaken = m_ClientCertificate.Parse(pszThumbprint);
    Unlock();
    return bTaken ? 1 : 0;
}

int ZymChat::Connect(const char* pszServer)
{
    return ConnectToServer(pszServer);
}

void ZymChat::Reserved1()
{
}

void ZymChat::Reserved2()
{
}

#pragma push_macro("SendMessage")
#undef SendMessage
int ZymChat::SendMessage(const char* pszChannel, const char* pszMessage)
{
    return SendChannelMessage(pszChannel, pszMessage);
}
#pragma pop_macro("SendMessage")

void ZymChat::Reserved3()
{
}

void ZymChat::Reserved4()
{
}

void ZymChat::Join(const char* pszChannel)
{
    JoinChannel(pszChannel, 0);
}

void ZymChat::EnterChannel(const char* pszChannel)
{
    JoinChannel(pszChannel, 0);
}

void ZymChat::SetHostText(const char* pszText)
{
    m_HostText = ZymString(pszText != nullptr ? pszText : "");
}

void ZymChat::SetRealName(const char* pszRealName)
{
    m_Session.SetRealName(pszRealName);
}

void ZymChat::SetUserName(const char* pszUserName)
{
    m_Session.SetUserName(pszUserName);
}

void ZymChat::SetOptionFlag(unsigned char bFlag)
{
    m_bOptionFlag = bFlag;
}

void ZymChat::Log(const char* pszFormat, ...)
{
    va_list arguments;
    va_start(arguments, pszFormat);
    DiagnosticLog(m_pLogFile).WriteList(pszFormat, arguments);
    va_end(arguments);
}

const char* ZymChat::LogTime()
{
    std::time_t now = std::time(nullptr);
    std::tm* pLocal = std::localtime(&now);
    if (pLocal == nullptr)
        return "\n";
    return std::asctime(pLocal);
}
