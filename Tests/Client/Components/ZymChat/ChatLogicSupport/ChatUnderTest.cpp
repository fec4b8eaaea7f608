#include "ChatUnderTest.h"

#include "SKException.h"

ChatUnderTest::ChatUnderTest(EventRecorder& sink, const char* pszNickname) : m_pSink(&sink)
{
    SetEventSink(&sink);
    SetNickname(pszNickname);
}

void ChatUnderTest::Dispatch(const std::string& line)
{
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    DispatchLine(text.data());
}

void ChatUnderTest::Welcome()
{
    Dispatch(":irc.test 002 " + Nickname() + " :Your host is irc.test");
}

void ChatUnderTest::JoinConfirmed(const std::string& hostName, const std::string& serverName)
{
    JoinChannel(hostName.c_str(), 0);
    Dispatch(":" + Nickname() + "!user@127.0.0.1 JOIN :" + serverName);
    TakeQueued();
}

std::vector<std::string> ChatUnderTest::TakeQueued()
{
    std::vector<std::string> lines;
    ZymString line;
    while (TakeNextLine(line))
        lines.push_back(line.Text());
    return lines;
}

std::string ChatUnderTest::SendsTo(const std::string& hostName)
{
    TakeQueued();
    if (SendChannelMessage(hostName.c_str(), "probe") != 1)
        return "-";
    std::vector<std::string> lines = TakeQueued();
    const std::string head = "PRIVMSG ";
    const std::string tail = " :probe";
    if (lines.size() != 1 || lines[0].compare(0, head.size(), head) != 0 ||
        lines[0].size() < head.size() + tail.size() ||
        lines[0].compare(lines[0].size() - tail.size(), tail.size(), tail) != 0)
        return "?";
    return lines[0].substr(head.size(), lines[0].size() - head.size() - tail.size());
}

std::string ChatUnderTest::ReachesHostAs(const std::string& serverName)
{
    EventRecorder probe;
    SetEventSink(&probe);
    Dispatch(":probe!p@h PRIVMSG " + serverName + " :probe");
    SetEventSink(m_pSink);
    std::vector<std::string> texts = probe.Texts(CHAT_EVENT_MESSAGE);
    const std::string tail = " probe probe";
    if (texts.empty())
        return "-";
    if (texts.size() != 1 || texts[0].size() < tail.size())
        return "?";
    return texts[0].substr(0, texts[0].size() - tail.size());
}

std::vector<std::string> ChatUnderTest::ChannelsOf(const std::string& nickname)
{
    EventRecorder probe;
    SetEventSink(&probe);
    const std::string renamed = nickname + "~probe";
    Dispatch(":" + nickname + "!p@h NICK :" + renamed);
    Dispatch(":" + renamed + "!p@h NICK :" + nickname);
    SetEventSink(m_pSink);
    // Texts are "old new channel": those of the first rename name the channels.
    const std::string head = nickname + " " + renamed + " ";
    std::vector<std::string> channels;
    for (const std::string& text : probe.Texts(CHAT_EVENT_NICK))
    {
        if (text.compare(0, head.size(), head) == 0)
            channels.push_back(text.substr(head.size()));
    }
    return channels;
}

void ChatUnderTest::OpenLog(const char* pszFileName)
{
    m_pLogFile = std::fopen(pszFileName, "w+");
}

std::string ChatUnderTest::LogText()
{
    if (m_pLogFile == nullptr)
        return std::string();
    std::fflush(m_pLogFile);
    std::fseek(m_pLogFile, 0, SEEK_SET);
    std::string text;
    char chunk[512];
    size_t nRead;
    while ((nRead = std::fread(chunk, 1, sizeof(chunk), m_pLogFile)) > 0)
        text.append(chunk, nRead);
    std::fseek(m_pLogFile, 0, SEEK_END);
    return text;
}
