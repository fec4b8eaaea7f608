// Measures the chat component against the in-process fake server:
//   1. inbound dispatch: lines per second for a burst of mixed lines, beside a
//      bare Winsock reader that only receives and splits the same burst;
//   2. send delay: from SendChannelMessage to the bytes arriving at the
//      server, median and 99th percentile;
//   3. with ZYM_TLS_CONTROL set (the run goes through with-tls-authority.sh
//      and with-tls-test-server.sh), inbound dispatch again over TLS: the
//      test server's TLS front relays a second fake server's burst.
// ZymChatBenchmark [--quick]  (--quick: a small run that only checks that
// every line and message arrives)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "BareLineReader.h"
#include "ChatLibrary.h"
#include "CountingSink.h"
#include "FakeIrcServer.h"
#include "InboundBurst.h"
#include "TlsControl.h"

namespace
{
typedef std::chrono::steady_clock Clock;

const char kNick[] = "bench";
const char kChannel[] = "#bench";
const int kStepMs = 10000;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

bool Fail(const char* what)
{
    std::printf("FAILED: %s\n", what);
    return false;
}

// Logs the component in and confirms its join, so that the channel's
// messages and names count as the channel's.
bool Welcome(FakeIrcServer& server, ChatComponent& chat, const std::string& serverText)
{
    chat.SetNickname(kNick);
    chat.SetUserName(kNick);
    chat.SetRealName("Benchmark");
    chat.JoinChannel(kChannel, 0);
    chat.ConnectToServer(serverText.c_str());
    if (!server.WaitForClient(kStepMs) || !server.WaitForReceived("USER ", kStepMs))
    {
        return Fail("the component did not log in");
    }
    server.SendLine(":irc.bench.test 001 bench :Welcome");
    server.SendLine(":irc.bench.test 002 bench :Your host is irc.bench.test");
    if (!server.WaitForReceived(std::string("JOIN ") + kChannel + "\r\n", kStepMs))
    {
        return Fail("the component did not join after the welcome");
    }
    server.SendLine(std::string(":bench!bench@127.0.0.1 JOIN :") + kChannel);
    if (!server.WaitForReceived("ZYMATTRIBREQUEST", kStepMs))
    {
        return Fail("the component did not take its join");
    }
    return true;
}

bool MeasureDispatch(FakeIrcServer& server, const CountingSink& sink, const InboundBurst& burst,
                     double& seconds)
{
    Clock::time_point start = Clock::now();
    server.Send(burst.Bytes());
    if (!sink.WaitForListEnds(1, 600000))
    {
        return Fail("the end of the burst was not dispatched");
    }
    seconds = Seconds(Clock::now() - start);
    if (sink.Texts(CHAT_EVENT_MESSAGE) != burst.Messages() ||
        sink.Texts(CHAT_EVENT_MEMBER) != burst.Members() ||
        sink.Texts(CHAT_EVENT_LIST_ENTRY) != burst.ListEntries())
    {
        std::printf("events: %ld/%ld messages, %ld/%ld members, %ld/%ld list entries\n",
                    sink.Texts(CHAT_EVENT_MESSAGE), burst.Messages(), sink.Texts(CHAT_EVENT_MEMBER),
                    burst.Members(), sink.Texts(CHAT_EVENT_LIST_ENTRY), burst.ListEntries());
        return Fail("lines of the burst were lost or misread");
    }
    return true;
}

bool MeasureBareReader(const char* address, int chunk, const InboundBurst& burst, double& seconds)
{
    FakeIrcServer server(address);
    if (!server.IsListening())
    {
        return Fail("the reader's fake server could not listen");
    }
    BareLineReader reader(server.Address().c_str(), chunk);
    if (!reader.Connect() || !server.WaitForClient(kStepMs))
    {
        return Fail("the bare reader could not connect");
    }
    long lines = 0;
    Clock::time_point start = Clock::now();
    std::thread reading([&] { lines = reader.ReadLines(burst.Lines(), 600000); });
    server.Send(burst.Bytes());
    reading.join();
    if (lines != burst.Lines())
    {
        return Fail("the bare reader lost lines");
    }
    seconds = Seconds(reader.LastLineTime() - start);
    return true;
}

bool MeasureSendDelay(FakeIrcServer& server, ChatComponent& chat, int probes,
                      std::vector<double>& delaysMs)
{
    for (int i = 0; i < probes; ++i)
    {
        // Hosts call at any moment of the receive loop's wait, not just
        // after a line went out: spread the calls over a wait's length.
        std::this_thread::sleep_for(std::chrono::milliseconds((i * 37) % 101));
        std::string text = "delay probe " + std::to_string(i);
        Clock::time_point start = Clock::now();
        if (chat.SendChannelMessage(kChannel, text.c_str()) != 1)
        {
            return Fail("SendChannelMessage refused a probe");
        }
        if (!server.WaitForReceived(text + "\r\n", kStepMs))
        {
            return Fail("a probe did not reach the server");
        }
        delaysMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return true;
}

// Inbound dispatch over TLS: the component talks TLS to the test server's
// front, which relays to a fake server of this program.
bool MeasureTlsDispatch(const ChatLibrary& library, const InboundBurst& burst, double& seconds)
{
    FakeIrcServer server("127.0.4.4");
    TlsControl control;
    if (!server.IsListening() || !control.IsConnected())
    {
        return Fail("the TLS run's servers are not there");
    }
    int port = control.Open("relay:127.0.4.4:6667", "good");
    if (port == 0)
    {
        return Fail("the TLS front did not open");
    }
    CountingSink sink;
    ChatComponent* chat = library.CreateChat();
    if (chat == nullptr)
    {
        return Fail("no component");
    }
    chat->SetEventSink(&sink);
    bool ok = Welcome(server, *chat, "ircs://localhost:" + std::to_string(port)) &&
              MeasureDispatch(server, sink, burst, seconds);
    if (ok && sink.Errors() != 0)
    {
        ok = Fail("the component reported errors over TLS");
    }
    chat->Quit();
    chat->Release();
    return ok;
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}
}

int main(int argc, char** argv)
{
    bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    const long lines = quick ? 3000 : 120000;
    const int probes = quick ? 20 : 250;

    ChatLibrary library;
    std::string error;
    if (!library.Load(ChatLibrary::BesideProgram("ZymChat.dll"), error))
    {
        std::printf("FAILED: %s\n", error.c_str());
        return 1;
    }
    InboundBurst burst(kNick, kChannel, lines);

    double bareSeconds = 0, bareSmallSeconds = 0;
    if (!MeasureBareReader("127.0.4.2", 4096, burst, bareSeconds) ||
        !MeasureBareReader("127.0.4.3", 128, burst, bareSmallSeconds))
    {
        return 1;
    }

    bool ok = false;
    double componentSeconds = 0;
    std::vector<double> delays;
    {
        FakeIrcServer server("127.0.4.1");
        if (!server.IsListening())
        {
            std::printf("FAILED: the fake server could not listen\n");
            return 1;
        }
        CountingSink sink;
        ChatComponent* chat = library.CreateChat();
        if (chat == nullptr)
        {
            std::printf("FAILED: no component\n");
            return 1;
        }
        chat->SetEventSink(&sink);
        ok = Welcome(server, *chat, server.Address()) && MeasureDispatch(server, sink, burst, componentSeconds) &&
             MeasureSendDelay(server, *chat, probes, delays);
        if (ok && sink.Errors() != 0)
        {
            ok = Fail("the component reported errors");
        }
        chat->Quit();
        chat->Release();
    }
    if (!ok)
    {
        return 1;
    }
    bool tls = std::getenv("ZYM_TLS_CONTROL") != nullptr;
    double tlsSeconds = 0;
    if (tls && !MeasureTlsDispatch(library, burst, tlsSeconds))
    {
        return 1;
    }

    double n = static_cast<double>(burst.Lines());
    std::printf("inbound burst: %ld lines (%lu bytes): %ld messages, %ld names replies, "
                "%ld list entries\n",
                burst.Lines(), static_cast<unsigned long>(burst.Bytes().size()), burst.Messages(), burst.Members() / 3,
                burst.ListEntries());
    std::printf("  component dispatch : %10.0f lines/s (%.2f s)\n", n / componentSeconds,
                componentSeconds);
    if (tls)
    {
        std::printf("  component over TLS : %10.0f lines/s (%.2f s), %.3f of plain\n",
                    n / tlsSeconds, tlsSeconds, componentSeconds / tlsSeconds);
    }
    std::printf("  bare reader, 4096-byte reads: %10.0f lines/s (%.2f s)\n", n / bareSeconds,
                bareSeconds);
    std::printf("  bare reader, 128-byte reads : %10.0f lines/s (%.2f s)\n", n / bareSmallSeconds,
                bareSmallSeconds);
    std::printf("  component / bare reader: %.3f (4096-byte reads), %.3f (128-byte reads)\n",
                bareSeconds / componentSeconds, bareSmallSeconds / componentSeconds);
    std::printf("send delay over %lu messages: median %.1f ms, 99th percentile %.1f ms, "
                "max %.1f ms\n",
                static_cast<unsigned long>(delays.size()), Percentile(delays, 0.5), Percentile(delays, 0.99),
                Percentile(delays, 1.0));
    return 0;
}
