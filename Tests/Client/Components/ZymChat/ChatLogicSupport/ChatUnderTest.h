#ifndef ZYM_TESTS_CHATUNDERTEST_H
#define ZYM_TESTS_CHATUNDERTEST_H

#include <cstdio>
#include <string>
#include <vector>

#include "EventRecorder.h"
#include "ZymChat.h"

// A component object whose background thread never runs: the test hands it
// server lines itself and takes the lines it queued off its queue.
class ChatUnderTest : public ZymChat
{
public:
    explicit ChatUnderTest(EventRecorder& sink, const char* pszNickname = "me");
    virtual ~ChatUnderTest() {}

    // One server line, without CR LF, through the line router.
    void Dispatch(const std::string& line);
    // The server's welcome.
    void Welcome();
    // Joins a channel as the host and confirms it as the server would,
    // under serverName; the lines queued on the way are dropped.
    void JoinConfirmed(const std::string& hostName, const std::string& serverName);

    // Every line queued since the last call, oldest first.
    std::vector<std::string> TakeQueued();

    std::string Nickname() const { return m_Nickname.Text(); }
    bool Welcomed() const { return m_bWelcomed != 0; }
    // The state of the host's channel, or -1 when the table has no entry.
    int StateOf(const std::string& hostName);
    // The mapped name, or "-" when the map holds none.
    std::string ServerNameOf(const std::string& hostName);
    std::string HostNameOf(const std::string& serverName);
    // How often the member list holds the pair.
    int MemberCount(const std::string& nickname, const std::string& serverName);
    int MemberTotal();
    // Rows of the map from server names to host names.
    int HostNameRows();

    // Sends the diagnostic log to a file in the working folder.
    void OpenLog(const char* pszFileName);
    std::string LogText();

    // The lock that guards the channel table, taken by the test's thread.
    void HoldTableLock() { m_TableLock.Lock(); }
    void ReleaseTableLock() { m_TableLock.Unlock(); }

    using ZymChat::DispatchLine;
};

#endif
