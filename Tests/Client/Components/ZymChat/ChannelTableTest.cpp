#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ChatUnderTest.h"

namespace
{
    typedef std::vector<std::string> Lines;

    std::string OwnJoin(const std::string& channel)
    {
        return ":me!user@127.0.0.1 JOIN :" + channel;
    }

    std::string OwnPart(const std::string& channel)
    {
        return ":me!user@127.0.0.1 PART " + channel;
    }
}

TEST(ChannelTable, ServerNameWithDigitsAppendedIsMappedBothWays)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinChannel("#chat", 0);
    EXPECT_EQ(Lines{"JOIN #chat"}, chat.TakeQueued());
    EXPECT_EQ("-", chat.SendsTo("#chat"));

    chat.Dispatch(OwnJoin("#chat42"));
    EXPECT_EQ(Lines{"NOTICE #chat42 :ZYMATTRIBREQUEST"}, chat.TakeQueued());

    EXPECT_EQ(1, chat.SendChannelMessage("#chat", "hi all"));
    EXPECT_EQ(Lines{"PRIVMSG #chat42 :hi all"}, chat.TakeQueued());
    chat.Dispatch(":bob!b@h PRIVMSG #chat42 :hi you");
    EXPECT_EQ(Lines{"#chat bob hi you"}, sink.Texts(CHAT_EVENT_MESSAGE));
}

TEST(ChannelTable, OwnJoinAnnouncesAttributesAndAsksForTheOthers)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.SendAttributeUpdate("color", "blue");
    chat.SendAttributeUpdate("size", "10");
    chat.Welcome();
    chat.JoinChannel("#art", 3);
    chat.Dispatch(OwnJoin("#art1"));
    EXPECT_EQ((Lines{"JOIN #art", "MODE #art1 +s", "NOTICE #art1 :ZYMATTRIBUPDATE color blue",
                     "NOTICE #art1 :ZYMATTRIBUPDATE size 10", "NOTICE #art1 :ZYMATTRIBREQUEST"}),
              chat.TakeQueued());

    // Only a new entry takes the secret flag; Join never sets it.
    chat.Join("#plain");
    chat.Dispatch(OwnJoin("#plain"));
    Lines lines = chat.TakeQueued();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("JOIN #plain", lines[0]);
    for (const std::string& line : lines)
        EXPECT_NE("MODE", line.substr(0, 4)) << line;
}

TEST(ChannelTable, JoinsBeforeTheWelcomeWaitAndGoOutInTableOrder)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.JoinChannel("#b", 0);
    chat.JoinChannel("#a", 0);
    chat.JoinChannel("#b", 0);
    EXPECT_TRUE(chat.TakeQueued().empty());
    EXPECT_EQ("-", chat.SendsTo("#a"));

    chat.Welcome();
    EXPECT_EQ((Lines{"JOIN #b", "JOIN #a"}), chat.TakeQueued());
    // Both are being joined now: each confirmation is taken.
    chat.Dispatch(OwnJoin("#a"));
    chat.Dispatch(OwnJoin("#b"));
    EXPECT_EQ("#a", chat.SendsTo("#a"));
    EXPECT_EQ("#b", chat.SendsTo("#b"));
}

TEST(ChannelTable, UnrelatedConfirmationMatchesOnlyASingleJoinUnderWay)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.JoinChannel("#one", 0);
    chat.JoinChannel("#two", 0);
    chat.Welcome();
    chat.Dispatch(OwnJoin("#three5"));
    EXPECT_EQ("-", chat.SendsTo("#one"));
    EXPECT_EQ("-", chat.SendsTo("#two"));
    EXPECT_EQ("-", chat.ReachesHostAs("#three5"));

    chat.Dispatch(OwnJoin("#two"));
    chat.Dispatch(OwnJoin("#three5"));
    EXPECT_EQ("#three5", chat.SendsTo("#one"));
    EXPECT_EQ("#one", chat.ReachesHostAs("#three5"));
    EXPECT_TRUE(sink.Events().empty());
}

TEST(ChannelTable, ConfirmationWithNoChannelAskedForChangesNothing)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.Dispatch(OwnJoin("#7"));
    EXPECT_TRUE(chat.TakeQueued().empty());
    EXPECT_EQ("-", chat.SendsTo("#7"));
    EXPECT_EQ("-", chat.ReachesHostAs("#7"));
}

TEST(ChannelTable, LeaveWhileJoiningPartsOnceTheJoinIsConfirmed)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinChannel("#brief", 0);
    chat.LeaveChannel("#brief");
    EXPECT_EQ(Lines{"JOIN #brief"}, chat.TakeQueued());

    chat.Dispatch(OwnJoin("#brief9"));
    EXPECT_EQ(Lines{"PART #brief9"}, chat.TakeQueued());
    // Still being left: no message goes out to it.
    EXPECT_EQ("-", chat.SendsTo("#brief"));

    chat.Dispatch(OwnPart("#brief9"));
    EXPECT_EQ("-", chat.ReachesHostAs("#brief9"));
    // The entry is gone: a late confirmation is no longer ours to leave.
    chat.Dispatch(OwnJoin("#brief9"));
    EXPECT_TRUE(chat.TakeQueued().empty());
    EXPECT_EQ("-", chat.SendsTo("#brief"));
    EXPECT_TRUE(sink.Events().empty());
}

TEST(ChannelTable, LeaveBeforeTheWelcomeKeepsTheEntryUnjoined)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.OpenLog("chatlogic-table-leave.log");
    chat.JoinChannel("#early", 0);
    chat.LeaveChannel("#early");
    chat.LeaveChannel("#never");
    chat.Welcome();
    EXPECT_TRUE(chat.TakeQueued().empty());
    // Kept as being left: a confirmation the server sends anyway is left.
    chat.Dispatch(OwnJoin("#early"));
    EXPECT_EQ(Lines{"PART #early"}, chat.TakeQueued());
    std::string log = chat.LogText();
    EXPECT_NE(std::string::npos, log.find("--> The channel state is not joined.  It is 0\n"));
    EXPECT_NE(std::string::npos,
              log.find("---> We've been asked to leave a channel we don't think we're in: #never, "));
}

TEST(ChannelTable, PartTheHostDidNotAskForKeepsTheChannelButDropsItsMembers)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#kept", "#kept2");
    chat.JoinConfirmed("#other", "#other");
    chat.Dispatch(":irc.test 353 me = #kept2 :me bob carol");
    chat.Dispatch(":bob!b@h JOIN :#other");

    chat.Dispatch(OwnPart("#kept2"));
    EXPECT_EQ("#kept2", chat.SendsTo("#kept"));
    EXPECT_EQ(Lines{"#other"}, chat.ChannelsOf("bob"));
    EXPECT_EQ(Lines(), chat.ChannelsOf("carol"));
}

TEST(ChannelTable, LeavingAJoinedChannelPartsUnderTheServerName)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#room", "#room3");
    chat.Dispatch(":bob!b@h JOIN :#room3");
    chat.LeaveChannel("#room");
    EXPECT_EQ(Lines{"PART #room3"}, chat.TakeQueued());
    EXPECT_EQ(-1, chat.SendChannelMessage("#room", "while leaving"));

    chat.Dispatch(":me!u@h PART #room3 :bye now");
    EXPECT_EQ(-1, chat.SendChannelMessage("#room", "hello?"));
    EXPECT_EQ("-", chat.ReachesHostAs("#room3"));
    // Joined again under the same name, the channel has none of the old
    // members.
    chat.JoinConfirmed("#room", "#room3");
    EXPECT_EQ(Lines(), chat.ChannelsOf("bob"));
}

// The host's names are exact; the server's compare by its case mapping.
TEST(ChannelTable, HostNamesAreCaseSensitiveServerNamesFollowTheServer)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#Case", "#Case");
    EXPECT_EQ(-1, chat.SendChannelMessage("#case", "x"));
    chat.Dispatch(":bob!b@h PRIVMSG #case :x");
    EXPECT_EQ(Lines{"#Case bob x"}, sink.Texts(CHAT_EVENT_MESSAGE));

    sink.Clear();
    chat.JoinConfirmed("#a[b]", "#a[b]");
    chat.Dispatch(":bob!b@h PRIVMSG #A{B} :rfc1459");
    chat.Dispatch(":irc.test 005 me CASEMAPPING=ascii :are supported");
    chat.Dispatch(":bob!b@h PRIVMSG #A{B} :ascii");
    chat.Dispatch(":bob!b@h PRIVMSG #A[B] :ascii");
    EXPECT_EQ((Lines{"#a[b] bob rfc1459", "#a[b] bob ascii"}), sink.Texts(CHAT_EVENT_MESSAGE));
}

TEST(ChannelTable, NicknameEmptiedBeforeTheWelcomeTakesNoJoinAsOwn)
{
    EventRecorder sink(1);
    ChatUnderTest chat(sink);
    chat.JoinChannel("#x", 0);
    chat.Dispatch(":irc.test 433 * me :Nickname is already in use");
    ASSERT_EQ("", chat.Nickname());
    chat.Dispatch(":irc.test 002 * :Your host");
    chat.Dispatch(":me!u@h JOIN :#x");
    EXPECT_EQ("-", chat.SendsTo("#x"));
    // Not a channel of ours yet: its members are not kept, and still being
    // joined, it is taken once our own join under a new nickname comes.
    chat.SetNickname("me2");
    chat.Dispatch(":me2!u@h JOIN :#x");
    EXPECT_EQ("#x", chat.SendsTo("#x"));
    EXPECT_EQ(Lines(), chat.ChannelsOf("me"));
}

// The host may act on the component from inside a sink call: the table lock
// is not held then, so the call goes through and the lock stays free.
TEST(ChannelTableLock, RecordedEventsBackIntoTheComponentAndTheLockStaysFree)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#echo", "#echo1");
    sink.onText = [&](int nCode, const char*) {
        if (nCode == CHAT_EVENT_MESSAGE || nCode == CHAT_EVENT_MEMBER || nCode == CHAT_EVENT_NICK)
            chat.SendChannelMessage("#echo", "seen");
    };
    chat.Dispatch(":bob!b@h PRIVMSG #echo1 :anyone?");
    chat.Dispatch(":irc.test 353 me = #echo1 :bob");
    chat.Dispatch(":bob!b@h NICK :bobby");
    EXPECT_EQ((Lines{"PRIVMSG #echo1 :seen", "PRIVMSG #echo1 :seen", "PRIVMSG #echo1 :seen"}),
              chat.TakeQueued());
    sink.onText = nullptr;

    // Another thread must get the lock now; a leaked hold would block it.
    auto done = std::make_shared<std::promise<int>>();
    std::future<int> result = done->get_future();
    std::thread([&chat, done] { done->set_value(chat.SendChannelMessage("#echo", "free")); })
        .detach();
    ASSERT_EQ(std::future_status::ready, result.wait_for(std::chrono::seconds(5)));
    EXPECT_EQ(1, result.get());
}

// Host operations on one thread and inbound lines on another, as with the
// background thread: every list stays whole.
TEST(ChannelTableLock, HostOperationsAndInboundLinesFromTwoThreads)
{
    EventRecorder sink;
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#busy", "#busy1");
    const int kRounds = 1500;

    std::thread host([&chat] {
        for (int i = 0; i < kRounds; ++i)
        {
            std::string channel = "#side" + std::to_string(i % 7);
            chat.JoinChannel(channel.c_str(), 0);
            chat.SendAttributeUpdate(("k" + std::to_string(i % 5)).c_str(), "v");
            chat.SendChannelMessage("#busy", "tick");
            chat.LeaveChannel(channel.c_str());
        }
    });
    for (int i = 0; i < kRounds; ++i)
    {
        std::string nick = "user" + std::to_string(i % 11);
        chat.Dispatch(":" + nick + "!u@h JOIN :#busy1");
        chat.Dispatch(":irc.test 353 me = #busy1 :" + nick + " other");
        chat.Dispatch(":" + nick + "!u@h NICK :" + nick + "x");
        chat.Dispatch(":" + nick + "x!u@h PART #busy1 :later");
        chat.Dispatch(":me!u@h JOIN :#side" + std::to_string(i % 7));
        chat.Dispatch(":other!u@h NOTICE #busy1 :ZYMATTRIBREQUEST");
    }
    host.join();

    EXPECT_FALSE(chat.TakeQueued().empty());
    EXPECT_EQ("#busy1", chat.SendsTo("#busy"));
    EXPECT_EQ(Lines{"#busy"}, chat.ChannelsOf("other"));
}

// Each handler and host operation that touches the table waits while another
// thread holds the table lock, and goes on once it is released. Every worker
// has certainly started before the wait, so an operation that skips the lock
// ends within the wait and fails the test; none of them may have queued a
// line or told the sink anything while the lock was held.
TEST(ChannelTableLock, EveryTableOperationWaitsForTheLock)
{
    EventRecorder sink(1);
    ChatUnderTest chat(sink);
    chat.Welcome();
    chat.JoinConfirmed("#held", "#held1");
    // The welcome takes it too, on a component not yet welcomed.
    ChatUnderTest fresh(sink);
    fresh.JoinChannel("#later", 0);
    sink.Clear();

    struct Operation
    {
        const char* pszName;
        std::function<void()> run;
    };
    const Operation operations[] = {
        {"JoinChannel", [&] { chat.JoinChannel("#other", 0); }},
        {"LeaveChannel", [&] { chat.LeaveChannel("#other"); }},
        {"SendChannelMessage", [&] { chat.SendChannelMessage("#held", "x"); }},
        {"SendPrivateMessage", [&] { chat.SendPrivateMessage("#held", "x", nullptr); }},
        {"SendInvite", [&] { chat.SendInvite("#held", "bob"); }},
        {"SendNotice", [&] { chat.SendNotice("#held", "x", nullptr); }},
        {"SendAttributeUpdate", [&] { chat.SendAttributeUpdate("k", "v"); }},
        {"RequestNames", [&] { chat.RequestNames("#held"); }},
        {"ListChannels", [&] { chat.ListChannels(); }},
        {"SetNickname", [&] { chat.SetNickname("me"); }},
        {"PRIVMSG", [&] { chat.Dispatch(":bob!b@h PRIVMSG #held1 :x"); }},
        {"NOTICE", [&] { chat.Dispatch(":bob!b@h NOTICE #held1 :ZYMATTRIBREQUEST"); }},
        {"JOIN", [&] { chat.Dispatch(":bob!b@h JOIN :#held1"); }},
        {"PART", [&] { chat.Dispatch(":bob!b@h PART #held1"); }},
        {"NICK", [&] { chat.Dispatch(":bob!b@h NICK :bobby"); }},
        {"353", [&] { chat.Dispatch(":irc.test 353 me = #held1 :bob"); }},
        {"433", [&] { chat.Dispatch(":irc.test 433 * me :in use"); }},
        {"welcome", [&] { fresh.Welcome(); }},
    };
    const size_t nOperations = sizeof(operations) / sizeof(operations[0]);

    std::mutex mutex;
    std::condition_variable changed;
    size_t nStarted = 0;
    std::vector<std::string> finished;
    auto record = [&](size_t* pCount, const char* pszName) {
        std::lock_guard<std::mutex> hold(mutex);
        if (pCount != nullptr)
            ++*pCount;
        else
            finished.push_back(pszName);
        changed.notify_all();
    };

    chat.HoldTableLock();
    fresh.HoldTableLock();
    std::vector<std::thread> workers;
    for (const Operation& operation : operations)
    {
        workers.emplace_back([&] {
            record(&nStarted, nullptr);
            operation.run();
            record(nullptr, operation.pszName);
        });
    }
    {
        std::unique_lock<std::mutex> hold(mutex);
        EXPECT_TRUE(changed.wait_for(hold, std::chrono::seconds(10),
                                     [&] { return nStarted == nOperations; }));
        // Long beside the microseconds an operation takes unhindered.
        changed.wait_for(hold, std::chrono::milliseconds(300),
                         [&] { return !finished.empty(); });
        EXPECT_EQ(std::vector<std::string>(), finished);
    }
    EXPECT_TRUE(chat.TakeQueued().empty());
    EXPECT_TRUE(fresh.TakeQueued().empty());
    // RequestNames tells the host, and the 433 handler asks it, before they
    // take the lock; nothing else may reach the sink yet.
    for (const RecordedEvent& event : sink.Events())
    {
        EXPECT_TRUE((event.kind == RecordedEvent::Text && event.nCode == CHAT_EVENT_NAMES) ||
                    (event.kind == RecordedEvent::Error && event.nCode == 433))
            << event.nCode << " " << event.text;
    }
    chat.ReleaseTableLock();
    fresh.ReleaseTableLock();
    for (std::thread& worker : workers)
        worker.join();

    EXPECT_EQ(nOperations, finished.size());
    EXPECT_EQ(Lines{"JOIN #later"}, fresh.TakeQueued());
}
