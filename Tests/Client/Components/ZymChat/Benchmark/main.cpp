// Measures the chat component against the in-process fake server:
//   1. inbound dispatch: lines per second for a burst of mixed lines, beside a
//      bare Winsock reader that only receives and splits the same burst;
//   2. send delay: from SendChannelMessage after a quiet spell to the bytes
//      arriving at the server, median and 99th percentile, beside a bare
//      Winsock chain that hands a line to a thread waiting in select as the
//      component's does;
//   3. with ZYM_TLS_CONTROL set (the run goes through with-tls-authority.sh
//      and with-tls-test-server.sh), inbound dispatch again over TLS: the
//      test server's TLS front relays a second fake server's burst.
// ZymChatBenchmark [--quick]  (--quick: a small run that only checks that
// every line and message arrives)
// ZymChatBenchmark --idle SECONDS: a connected component with nothing to do
// for that span, marked by two lines at which the caller samples the CPU time
// of this process and of the Wine server (Wine's GetProcessTimes reports no
// CPU time); then the pacing of lines queued faster than they may leave.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "BareLineReader.h"
#include "BareWakeChain.h"
#include "ChatLibrary.h"
#include "CountingSink.h"
#include "FakeIrcServer.h"
#include "InboundBurst.h"
#include "QuietServer.h"
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

// The round-th burst sent to the component; the sink counts from the first.
bool MeasureDispatch(FakeIrcServer& server, const CountingSink& sink, const InboundBurst& burst,
                     long round, double& seconds)
{
    Clock::time_point start = Clock::now();
    server.Send(burst.Bytes());
    if (!sink.WaitForListEnds(round, 600000))
    {
        return Fail("the end of the burst was not dispatched");
    }
    seconds = Seconds(Clock::now() - start);
    if (sink.Texts(CHAT_EVENT_MESSAGE) != round * burst.Messages() ||
        sink.Texts(CHAT_EVENT_MEMBER) != round * burst.Members() ||
        sink.Texts(CHAT_EVENT_LIST_ENTRY) != round * burst.ListEntries())
    {
        std::printf("events: %ld/%ld messages, %ld/%ld members, %ld/%ld list entries\n",
                    sink.Texts(CHAT_EVENT_MESSAGE), round * burst.Messages(),
                    sink.Texts(CHAT_EVENT_MEMBER), round * burst.Members(),
                    sink.Texts(CHAT_EVENT_LIST_ENTRY), round * burst.ListEntries());
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

// The delay ends when the server's receive returns the line; the moment the
// waiting benchmark thread sees it, later by that thread's own wake-up, is
// kept beside it.
bool MeasureSendDelay(FakeIrcServer& server, ChatComponent& chat, int probes,
                      std::vector<double>& delaysMs, std::vector<double>& observedMs)
{
    for (int i = 0; i < probes; ++i)
    {
        // The first line after a quiet spell: past the pacing interval of the
        // line before, and at any moment of the receive loop's wait, not just
        // after a line went out (the calls are spread over a wait's length).
        std::this_thread::sleep_for(std::chrono::milliseconds(110 + (i * 37) % 101));
        std::string text = "delay probe " + std::to_string(i);
        Clock::time_point start = Clock::now();
        if (chat.SendChannelMessage(kChannel, text.c_str()) != 1)
        {
            return Fail("SendChannelMessage refused a probe");
        }
        Clock::time_point arrival;
        if (!server.WaitForReceived(text + "\r\n", kStepMs, arrival))
        {
            return Fail("a probe did not reach the server");
        }
        observedMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        delaysMs.push_back(std::chrono::duration<double, std::milli>(arrival - start).count());
    }
    return true;
}

// The same probes through the bare Winsock chain: what the platform alone
// costs for a line that one thread hands to another waiting in select.
bool MeasureBareSendDelay(FakeIrcServer& server, int probes, std::vector<double>& delaysMs)
{
    BareWakeChain chain(server.Address());
    if (!chain.Start())
    {
        return Fail("the bare wake chain could not start");
    }
    for (int i = 0; i < probes; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(110 + (i * 37) % 101));
        std::string line = "bare probe " + std::to_string(i) + "\r\n";
        Clock::time_point start = Clock::now();
        Clock::time_point arrival;
        if (!chain.Send(line) || !server.WaitForReceived(line, kStepMs, arrival))
        {
            return Fail("a bare probe did not reach the server");
        }
        delaysMs.push_back(std::chrono::duration<double, std::milli>(arrival - start).count());
    }
    return true;
}

// Lines queued together, and lines queued one by one faster than the pace,
// must still leave one interval apart: the shortest gap at the server.
bool MeasureBurstGap(QuietServer& server, ChatComponent& chat, double& minGapMs, double& meanGapMs)
{
    const int together = 5, oneByOne = 5;
    for (int i = 0; i < together; ++i)
        chat.SetMode("idle", ("+burst" + std::to_string(i)).c_str(), nullptr);
    for (int i = 0; i < oneByOne; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        chat.SetMode("idle", ("+single" + std::to_string(i)).c_str(), nullptr);
    }
    auto times = server.WaitForLineTimes(together + oneByOne, kStepMs);
    if (times.size() != together + oneByOne)
        return Fail("lines of the burst did not reach the server");
    minGapMs = 1e9;
    for (size_t i = 1; i < times.size(); ++i)
        minGapMs = std::min(minGapMs, std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count());
    // The shortest gap also holds how late the server's thread saw a line;
    // the mean cannot be shortened that way.
    meanGapMs = std::chrono::duration<double, std::milli>(times.back() - times.front()).count() /
                static_cast<double>(times.size() - 1);
    return true;
}

int MeasureIdle(ChatLibrary& library, int seconds)
{
    QuietServer server("127.0.4.5");
    if (!server.IsListening())
    {
        Fail("the quiet server could not listen");
        return 1;
    }
    CountingSink sink;
    ChatComponent* chat = library.CreateChat();
    if (chat == nullptr)
    {
        Fail("no component");
        return 1;
    }
    chat->SetEventSink(&sink);
    chat->SetNickname("idle");
    chat->SetUserName("idle");
    chat->SetRealName("Idle");
    chat->ConnectToServer("127.0.4.5");
    bool welcomed = server.WaitForWelcomed(kStepMs);
    if (welcomed)
    {
        // Past the login lines and the welcome's dispatch.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        Clock::time_point start = Clock::now();
        std::printf("idle window begins\n");
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        std::printf("idle window ends after %.1f s\n", Seconds(Clock::now() - start));
        std::fflush(stdout);
        double minGapMs = 0, meanGapMs = 0;
        if (MeasureBurstGap(server, *chat, minGapMs, meanGapMs))
            std::printf("pacing: 10 lines queued at once and every 20 ms arrive %.1f ms apart in "
                        "the mean, %.1f ms at the least\n", meanGapMs, minGapMs);
    }
    chat->Quit();
    chat->Release();
    if (!welcomed)
    {
        Fail("the quiet server did not welcome the component");
        return 1;
    }
    return 0;
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
              MeasureDispatch(server, sink, burst, 1, seconds);
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
    int idleSeconds = argc > 2 && std::strcmp(argv[1], "--idle") == 0 ? std::atoi(argv[2]) : 0;
    const long lines = quick ? 3000 : 120000;
    const int probes = quick ? 20 : 250;

    ChatLibrary library;
    std::string error;
    if (!library.Load(ChatLibrary::BesideProgram("ZymChat.dll"), error))
    {
        std::printf("FAILED: %s\n", error.c_str());
        return 1;
    }
    if (idleSeconds > 0)
        return MeasureIdle(library, idleSeconds);
    InboundBurst burst(kNick, kChannel, lines);

    // Bare reader and component take turns, so that a change in the load of
    // a shared machine meets both alike; the figures are medians, the ratio
    // the median of each turn's ratio.
    const long rounds = quick ? 1 : 5;
    std::vector<double> bareRates, componentRates, ratios;
    bool ok = false;
    std::vector<double> delays, observed, bareDelays;
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
        ok = Welcome(server, *chat, server.Address());
        for (long round = 1; ok && round <= rounds; ++round)
        {
            double bareSeconds = 0, componentSeconds = 0;
            ok = MeasureBareReader("127.0.4.2", 4096, burst, bareSeconds) &&
                 MeasureDispatch(server, sink, burst, round, componentSeconds);
            if (ok)
            {
                bareRates.push_back(static_cast<double>(burst.Lines()) / bareSeconds);
                componentRates.push_back(static_cast<double>(burst.Lines()) / componentSeconds);
                ratios.push_back(bareSeconds / componentSeconds);
                std::printf("  turn %ld: component %.0f lines/s, bare reader (4096-byte reads) %.0f "
                            "lines/s, ratio %.3f\n",
                            round, componentRates.back(), bareRates.back(), ratios.back());
            }
        }
        ok = ok && MeasureSendDelay(server, *chat, probes, delays, observed) &&
             MeasureBareSendDelay(server, probes, bareDelays);
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

    std::printf("inbound burst: %ld lines (%lu bytes): %ld messages, %ld names replies, "
                "%ld list entries, %ld turns\n",
                burst.Lines(), static_cast<unsigned long>(burst.Bytes().size()), burst.Messages(),
                burst.Members() / 3, burst.ListEntries(), rounds);
    if (tls)
    {
        std::printf("  component over TLS : %10.0f lines/s (%.2f s), %.3f of plain (median)\n",
                    static_cast<double>(burst.Lines()) / tlsSeconds, tlsSeconds,
                    static_cast<double>(burst.Lines()) / tlsSeconds / Percentile(componentRates, 0.5));
    }
    std::printf("send delay over %lu messages: median %.1f ms, 99th percentile %.1f ms, "
                "max %.1f ms\n",
                static_cast<unsigned long>(delays.size()), Percentile(delays, 0.5), Percentile(delays, 0.99),
                Percentile(delays, 1.0));
    std::printf("  bare Winsock wake chain (yardstick): median %.1f ms, 99th percentile %.1f ms, "
                "max %.1f ms\n",
                Percentile(bareDelays, 0.5), Percentile(bareDelays, 0.99), Percentile(bareDelays, 1.0));
    std::printf("  as the waiting benchmark thread saw it: median %.1f ms, 99th percentile %.1f ms, "
                "max %.1f ms\n",
                Percentile(observed, 0.5), Percentile(observed, 0.99), Percentile(observed, 1.0));
    std::printf("inbound_lines_per_s: %.0f\n", Percentile(componentRates, 0.5));
    std::printf("inbound_bare_lines_per_s: %.0f\n", Percentile(bareRates, 0.5));
    std::printf("inbound_ratio_to_bare: %.3f\n", Percentile(ratios, 0.5));
    std::printf("send_delay_p50_ms: %.2f\n", Percentile(delays, 0.5));
    std::printf("send_delay_p99_ms: %.2f\n", Percentile(delays, 0.99));
    return 0;
}
