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

    // Queues the login's lines as a new connection does.
    void LogIn() { QueueLoginLines(); }
    // Every line queued since the last call, oldest first.
    std::vector<std::string> TakeQueued();

    // The nickname the next login sends. Kept internal on purpose: only a
    // login shows it, and this object never logs in.
    std::string Nickname() const { return m_Session.Nickname(); }

    // Probes that ask what a host and a server can see, through host
    // operations and server lines only. Each records its events on a sink
    // of its own, so the test's sink sees none of them; the ones that send
    // take the queue, so call them once the lines queued before were checked.

    // The server name a message to the host's channel goes out under, or "-"
    // when the component refuses the message.
    std::string SendsTo(const std::string& hostName);
    // The host's name of the channel a server's message to serverName
    // reaches the host under, or "-" when it reaches the host in none.
    std::string ReachesHostAs(const std::string& serverName);
    // The host's channels in which a NICK from the nickname is reported,
    // each once per channel where it is a member; the nickname is renamed
    // back afterwards, so the members stay as they were.
    std::vector<std::string> ChannelsOf(const std::string& nickname);

    // Sends the diagnostic log to a file in the working folder.
    void OpenLog(const char* pszFileName);
    std::string LogText();

    // The lock that guards the channel table, taken by the test's thread.
    // Kept internal on purpose: an operation that skips it misbehaves only
    // in a race, which nothing a host or a server sees shows reliably.
    void HoldTableLock() { m_Session.TableLock().Lock(); }
    void ReleaseTableLock() { m_Session.TableLock().Unlock(); }

    using ZymChat::DispatchLine;

private:
    EventRecorder* m_pSink;
};

#endif
