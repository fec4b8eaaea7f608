#include "DemoParticipant.h"

#include "EventText.h"

DemoParticipant::DemoParticipant(const std::string& label, ConsoleWriter& out)
    : m_Label(label), m_Out(out), m_pChat(nullptr), m_bQuit(false)
{
    m_Sink.SetObserver([this](const EventRecord& record) {
        std::string padding(m_Label.size() < 6 ? 6 - m_Label.size() : 0, ' ');
        m_Out.WriteLine("  " + m_Label + padding + "hears  " + EventText::Describe(record));
    });
}

DemoParticipant::~DemoParticipant()
{
    if (m_pChat != nullptr)
    {
        Quit();
        m_pChat->Release();
    }
}

bool DemoParticipant::Create(const ChatLibrary& library)
{
    m_pChat = library.CreateChat();
    if (m_pChat == nullptr)
    {
        return false;
    }
    m_pChat->SetEventSink(&m_Sink);
    return true;
}

ChatComponent& DemoParticipant::Chat()
{
    return *m_pChat;
}

bool DemoParticipant::Expect(int code, const std::string& expected, int timeoutMs)
{
    return ExpectEither(code, expected, expected, timeoutMs);
}

bool DemoParticipant::ExpectEither(int code, const std::string& expected, const std::string& other,
                                   int timeoutMs)
{
    bool seen = m_Sink.WaitFor(
        [code, &expected, &other](const EventRecord& r) {
            return r.kind == EventRecord::Text && r.code == code &&
                   (r.text == expected || r.text == other);
        },
        timeoutMs);
    if (!seen)
    {
        EventRecord wanted{EventRecord::Text, code, 0, true, expected};
        m_Out.WriteLine("demo failed: " + m_Label + " did not hear \"" + EventText::Describe(wanted) +
                        "\" within " + std::to_string(timeoutMs / 1000) + " s");
    }
    return seen;
}

void DemoParticipant::Say(const std::string& what)
{
    m_Out.WriteLine(m_Label + ": " + what);
}

void DemoParticipant::Quit()
{
    if (m_pChat != nullptr && !m_bQuit)
    {
        m_bQuit = true;
        m_pChat->Quit();
    }
}
