#include "IntegrationClient.h"

#include "ComponentInterfaces/ChatEventSink.h"
#include "TestServer.h"

IntegrationClient::IntegrationClient(const ChatLibrary& library, bool extended)
    : m_pChat(nullptr), m_ServerText(TestServer::NextServerText()), m_bQuit(false)
{
    if (extended)
    {
        ExtendedChatComponent* chat = library.CreateExtendedChat();
        m_pChat = chat;
        if (chat != nullptr)
        {
            chat->SetExtendedEventSink(&m_Sink);
        }
    }
    else
    {
        m_pChat = library.CreateChat();
        if (m_pChat != nullptr)
        {
            m_pChat->SetEventSink(&m_Sink);
        }
    }
}

IntegrationClient::~IntegrationClient()
{
    if (m_pChat != nullptr)
    {
        Quit();
        m_pChat->Release();
    }
}

bool IntegrationClient::Created() const
{
    return m_pChat != nullptr;
}

ChatComponent& IntegrationClient::Chat()
{
    return *m_pChat;
}

RecordingSink& IntegrationClient::Sink()
{
    return m_Sink;
}

const std::string& IntegrationClient::Nickname() const
{
    return m_Nickname;
}

const std::string& IntegrationClient::ServerText() const
{
    return m_ServerText;
}

void IntegrationClient::Login(const std::string& nickname, const std::string& channel,
                              const std::string& server)
{
    m_Nickname = nickname;
    m_pChat->SetNickname(nickname.c_str());
    m_pChat->SetUserName(nickname.c_str());
    m_pChat->SetRealName(("Tester " + nickname).c_str());
    if (!channel.empty())
    {
        m_pChat->JoinChannel(channel.c_str(), 0);
    }
    m_pChat->ConnectToServer(server.empty() ? m_ServerText.c_str() : server.c_str());
}

bool IntegrationClient::WaitJoined(const std::string& channel)
{
    // Channel founders are operators on some servers and are named with "@".
    return WaitTextAny(CHAT_EVENT_MEMBER,
                       {channel + " " + m_Nickname, channel + " @" + m_Nickname});
}

bool IntegrationClient::WaitText(int code, const std::string& text, int timeoutMs, size_t from)
{
    return WaitTextAny(code, {text}, timeoutMs, from);
}

bool IntegrationClient::WaitTextAny(int code, const std::vector<std::string>& texts, int timeoutMs,
                                    size_t from)
{
    return m_Sink.WaitFor(
        [code, &texts](const EventRecord& r) {
            if (r.kind != EventRecord::Text || r.code != code)
            {
                return false;
            }
            for (const std::string& t : texts)
            {
                if (r.text == t)
                {
                    return true;
                }
            }
            return false;
        },
        timeoutMs, from);
}

bool IntegrationClient::WaitEvent(int code, int timeoutMs, size_t from)
{
    return m_Sink.WaitFor(
        [code](const EventRecord& r) { return r.kind == EventRecord::Event && r.code == code; },
        timeoutMs, from);
}

bool IntegrationClient::WaitError(int code, const std::string& text, int timeoutMs, size_t from)
{
    return m_Sink.WaitFor(
        [code, &text](const EventRecord& r) {
            return r.kind == EventRecord::Error && r.code == code && r.text == text;
        },
        timeoutMs, from);
}

size_t IntegrationClient::CountText(int code, const std::string& text, size_t from) const
{
    return m_Sink.CountMatching(
        [code, &text](const EventRecord& r) {
            return r.kind == EventRecord::Text && r.code == code && r.text == text;
        },
        from);
}

std::vector<std::string> IntegrationClient::Errors() const
{
    std::vector<std::string> errors;
    for (const EventRecord& r : m_Sink.Records())
    {
        if (r.kind == EventRecord::Error)
        {
            errors.push_back(std::to_string(r.code) + " " + r.text);
        }
    }
    return errors;
}

void IntegrationClient::Quit()
{
    if (m_pChat != nullptr && !m_bQuit)
    {
        m_bQuit = true;
        m_pChat->Quit();
    }
}
