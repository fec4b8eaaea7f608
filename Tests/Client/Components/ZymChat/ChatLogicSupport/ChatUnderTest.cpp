#include "ChatUnderTest.h"

#include "ChannelEntry.h"
#include "SKException.h"

ChatUnderTest::ChatUnderTest(EventRecorder& sink, const char* pszNickname)
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

int ChatUnderTest::StateOf(const std::string& hostName)
{
    ZymString key(hostName.c_str());
    return m_Channels.hasKey(key) ? m_Channels.lookup(key)->m_nState : -1;
}

std::string ChatUnderTest::ServerNameOf(const std::string& hostName)
{
    ZymString key(hostName.c_str());
    return m_ServerNames.hasKey(key) ? m_ServerNames.lookup(key).Text() : "-";
}

std::string ChatUnderTest::HostNameOf(const std::string& serverName)
{
    ZymString key(serverName.c_str());
    return m_HostNames.hasKey(key) ? m_HostNames.lookup(key).Text() : "-";
}

int ChatUnderTest::MemberCount(const std::string& nickname, const std::string& serverName)
{
    return m_Members.Contains(nickname, serverName) ? 1 : 0;
}

int ChatUnderTest::MemberTotal()
{
    return static_cast<int>(m_Members.Total());
}

int ChatUnderTest::HostNameRows()
{
    int nRows = 0;
    typedef TList<LookupPair<ZymString, ZymString> > NameList;
    for (NameList::ConstIterator it(m_HostNames); it.hasCurrent(); it.Step())
        ++nRows;
    return nRows;
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
