#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "FakeIrcServer.h"
#include "SocketAddress.h"
#include "SocketCalls.h"
#include "SocketResults.h"
#include "SendPacing.h"
#include "SocketWait.h"
#include "TCPSocket.h"
#include "TestClock.h"
#include "WakeSocket.h"

// Addresses of this file's servers: 127.0.1.1 to 127.0.1.9. Nothing listens
// on 127.0.1.250.

TEST(SocketAddress, DigitsAndPointsAreADottedAddressOtherTextAHostName)
{
    SocketAddress address;
    EXPECT_EQ(ZymSocketOk, address.SetAddress("127.0.1.7"));
    EXPECT_STREQ("127.0.1.7", address.m_DottedAddress.Text());
    EXPECT_EQ(inet_addr("127.0.1.7"), address.m_nAddress);
    EXPECT_EQ(0, address.m_HostName.Length());

    EXPECT_EQ(ZymSocketOk, address.SetAddress("localhost"));
    EXPECT_STREQ("localhost", address.m_HostName.Text());
    EXPECT_EQ(0, address.m_DottedAddress.Length());
    EXPECT_EQ(0u, address.m_nAddress);

    EXPECT_EQ(ZymSocketCreateFailed, address.SetAddress(""));
    EXPECT_EQ(ZymNullArgument, address.ResetAddress(nullptr));
}

TEST(SocketAddress, DottedTextIsResolvedOnceAndCopiedIntoTheBuffer)
{
    NetworkStartupData data;
    ASSERT_EQ(0, StartNetwork(&data));
    SocketAddress address;
    char buffer[SocketAddress::kDottedBufferSize];

    EXPECT_EQ(ZymNullArgument, address.GetDottedAddress(nullptr));
    EXPECT_EQ(ZymNoAddressKnown, address.GetDottedAddress(buffer));
    EXPECT_STREQ("0.0.0.0", buffer);

    address.SetAddress("localhost");
    EXPECT_EQ(ZymSocketOk, address.GetDottedAddress(buffer));
    EXPECT_STREQ("127.0.0.1", buffer);
    EXPECT_STREQ("127.0.0.1", address.m_DottedAddress.Text());
    EXPECT_EQ(inet_addr("127.0.0.1"), address.m_nAddress);
}

TEST(SocketAddress, ADottedTextLongerThanAnyAddressIsRefusedWithoutOverrun)
{
    SocketAddress address;
    address.SetAddress("1111111111.2222222222.3333333333.4444444444");
    char guarded[SocketAddress::kDottedBufferSize + 8];
    std::memset(guarded, '#', sizeof(guarded));
    EXPECT_EQ(ZymAddressTooLong, address.GetDottedAddress(guarded));
    EXPECT_STREQ("0.0.0.0", guarded);
    EXPECT_EQ('#', guarded[SocketAddress::kDottedBufferSize]);

    address.SetAddress("255.255.255.255.1");
    EXPECT_EQ(ZymSocketOk, address.GetDottedAddress(guarded));
    EXPECT_STREQ("255.255.255.255.1", guarded);
}

TEST(SocketCalls, TheBroadcastTextIsRefusedAndNullArgumentsAreCaught)
{
    unsigned long nAddress = 99;
    EXPECT_EQ(ZymSocketQueryFailed, TextToAddress("255.255.255.255", &nAddress));
    EXPECT_EQ(0u, nAddress);
    EXPECT_EQ(ZymSocketOk, TextToAddress("127.0.1.3", &nAddress));
    EXPECT_EQ(inet_addr("127.0.1.3"), nAddress);
    EXPECT_EQ(ZymNullArgument, TextToAddress(nullptr, &nAddress));
    EXPECT_EQ(ZymNullArgument, ResolveHostName(nullptr, &nAddress));
    EXPECT_EQ(ZymNullArgument, AddressToText(nAddress, nullptr));
    char text[SocketAddress::kDottedBufferSize];
    EXPECT_EQ(ZymSocketOk, AddressToText(inet_addr("10.1.2.3"), text));
    EXPECT_STREQ("10.1.2.3", text);
}

TEST(TCPSocket, AFreshSocketHasNoConnectionAndReservedOperationsAreUnsupported)
{
    TCPSocket socket;
    EXPECT_EQ(1, socket.GetNetworkState());
    EXPECT_EQ(0, socket.GetConnectionState());
    int nPort = 5;
    EXPECT_EQ(ZymSocketOk, socket.GetPort(&nPort));
    EXPECT_EQ(0, nPort);
    EXPECT_EQ(ZymNotSupported, socket.SocketReserved1());
    EXPECT_EQ(ZymNotSupported, socket.SocketReserved4());

    char buffer[8] = "keep";
    int nLength = 4;
    EXPECT_EQ(ZymSocketOk, socket.Send(buffer, &nLength));
    EXPECT_EQ(4, nLength);
    EXPECT_EQ(ZymSocketOk, socket.Receive(buffer, &nLength));
    EXPECT_EQ(4, nLength);
    EXPECT_EQ(ZymSocketOk, socket.Disconnect());
}

TEST(TCPSocket, ConnectWhereNothingListensFailsAndALaterConnectWorksOnANewSocket)
{
    TCPSocket socket;
    SocketAddress nowhere;
    nowhere.SetAddress("127.0.1.250");
    EXPECT_EQ(ZymConnectFailed, socket.Connect(nowhere, 6667));
    EXPECT_EQ(2, socket.GetConnectionState());
    EXPECT_EQ(1, socket.GetNetworkState());
    SocketHandle hFailed = socket.GetHandle();
    EXPECT_NE(SocketHandle(0), hFailed);

    EXPECT_EQ(ZymSocketOk, socket.Disconnect());
    EXPECT_EQ(SocketHandle(0), socket.GetHandle());

    FakeIrcServer server("127.0.1.1");
    ASSERT_TRUE(server.IsListening());
    SocketAddress there;
    there.SetAddress(server.Address().c_str());
    EXPECT_EQ(ZymSocketOk, socket.Connect(there, 6667));
    EXPECT_EQ(1, socket.GetConnectionState());
    EXPECT_TRUE(server.WaitForClient(2000));

    SocketAddress peer;
    EXPECT_EQ(ZymSocketOk, socket.GetAddress(&peer));
    EXPECT_EQ(server.Address(), peer.m_DottedAddress.Text());
    int nPort = 0;
    EXPECT_EQ(ZymSocketOk, socket.GetPort(&nPort));
    EXPECT_EQ(6667, nPort);

    EXPECT_EQ(ZymAlreadyConnected, socket.Connect(there, 6667));
    EXPECT_EQ(1, server.ConnectionCount());
    socket.Disconnect();
    EXPECT_TRUE(server.WaitForClientClosed(2000));
}

TEST(TCPSocket, AnOverLongDottedAddressIsRefusedAndMarksTheLayerFailed)
{
    TCPSocket socket;
    SocketAddress address;
    address.SetAddress("127.000000000000000000000000.0.1");
    EXPECT_EQ(ZymAddressTooLong, socket.Connect(address, 6667));
    EXPECT_EQ(2, socket.GetNetworkState());
    EXPECT_EQ(ZymNetworkFailed, socket.Connect(address, 6667));
    SocketAddress out;
    EXPECT_EQ(ZymNetworkFailed, socket.GetAddress(&out));
    int nPort = 0;
    EXPECT_EQ(ZymNetworkFailed, socket.GetPort(&nPort));
    EXPECT_EQ(-1, nPort);
    socket.Disconnect();
}

TEST(TCPSocket, SendAndReceiveCarryBytesBothWays)
{
    FakeIrcServer server("127.0.1.2");
    ASSERT_TRUE(server.IsListening());
    TCPSocket socket;
    SocketAddress there;
    there.SetAddress(server.Address().c_str());
    ASSERT_EQ(ZymSocketOk, socket.Connect(there, 6667));
    ASSERT_TRUE(server.WaitForClient(2000));

    int nLength = 6;
    EXPECT_EQ(ZymSocketOk, socket.Send("NICK\r\n", &nLength));
    EXPECT_EQ(6, nLength);
    EXPECT_TRUE(server.WaitForReceived("NICK\r\n", 2000));

    ASSERT_TRUE(server.Send("PING :1\r\n"));
    SocketBase* sockets[] = {&socket};
    short nIndex = -1;
    EXPECT_EQ(ZymSocketOk, WaitForReadable(sockets, 1, 2000, &nIndex));
    EXPECT_EQ(0, nIndex);
    char buffer[128];
    nLength = sizeof(buffer);
    EXPECT_EQ(ZymSocketOk, socket.Receive(buffer, &nLength));
    EXPECT_EQ("PING :1\r\n", std::string(buffer, nLength));
    socket.Disconnect();
}

TEST(WaitForReadable, TimesOutClosesAndFailsWithTheirOwnCodes)
{
    FakeIrcServer server("127.0.1.3");
    ASSERT_TRUE(server.IsListening());
    TCPSocket socket;
    SocketAddress there;
    there.SetAddress(server.Address().c_str());
    ASSERT_EQ(ZymSocketOk, socket.Connect(there, 6667));
    ASSERT_TRUE(server.WaitForClient(2000));
    SocketBase* sockets[] = {&socket};
    short nIndex = -1;

    Stopwatch watch;
    EXPECT_EQ(ZymFnctnTimedOutErr, WaitForReadable(sockets, 1, 100, &nIndex));
    long long nElapsed = watch.ElapsedMs();
    EXPECT_GE(nElapsed, 80);
    EXPECT_LT(nElapsed, 1000);
    EXPECT_EQ(ZymFnctnTimedOutErr, WaitForReadable(sockets, 1, 0, &nIndex));
    // Nothing was sent, so a send would not block.
    EXPECT_EQ(ZymSocketOk, WaitForWritable(socket, 100));

    server.CloseClient();
    int nCode = ZymFnctnTimedOutErr;
    for (int i = 0; i < 20 && nCode == ZymFnctnTimedOutErr; ++i)
        nCode = WaitForReadable(sockets, 1, 100, &nIndex);
    EXPECT_EQ(ZymPeerClosed, nCode);
    EXPECT_EQ(1, socket.GetConnectionState());

    socket.Disconnect();
    EXPECT_EQ(ZymSocketQueryFailed, WaitForReadable(sockets, 1, 100, &nIndex));
    EXPECT_EQ(ZymSocketQueryFailed, WaitForWritable(socket, 100));
}

TEST(WaitForReadableOrWake, ASignalEndsTheWaitAtOnceAndOneDrainTakesEverySignalBeforeIt)
{
    FakeIrcServer server("127.0.1.4");
    ASSERT_TRUE(server.IsListening());
    TCPSocket socket;
    SocketAddress there;
    there.SetAddress("127.0.1.4");
    ASSERT_EQ(ZymSocketOk, socket.Connect(there, 6667));
    ASSERT_TRUE(server.WaitForClient(2000));
    SocketBase* sockets[] = {&socket};
    short nIndex = -1;
    WakeSocket wake;
    ASSERT_TRUE(wake.IsOpen());

    // Signalled from another thread while the wait runs: the wait ends long
    // before its limit, with nothing to read from the connection.
    bool bWoken = false;
    std::thread signaller([&wake] {
        PauseMs(50);
        wake.Signal();
    });
    Stopwatch watch;
    EXPECT_EQ(ZymFnctnTimedOutErr,
              WaitForReadableOrWake(sockets, 1, &wake, 5000, &nIndex, &bWoken));
    signaller.join();
    EXPECT_LT(watch.ElapsedMs(), 2000);
    EXPECT_TRUE(bWoken);
    wake.Drain();

    // Signals that pile up before the drain need one drain only, after which
    // the wait runs to its limit again.
    for (int i = 0; i < 20; ++i)
        wake.Signal();
    EXPECT_EQ(ZymFnctnTimedOutErr, WaitForReadableOrWake(sockets, 1, &wake, 100, &nIndex, &bWoken));
    EXPECT_TRUE(bWoken);
    wake.Drain();
    EXPECT_EQ(ZymFnctnTimedOutErr, WaitForReadableOrWake(sockets, 1, &wake, 100, &nIndex, &bWoken));
    EXPECT_FALSE(bWoken);

    // A wake beside data: the data is reported, and so is the wake.
    server.SendLine("PING :both");
    wake.Signal();
    int nCode = ZymFnctnTimedOutErr;
    for (int i = 0; i < 20 && nCode == ZymFnctnTimedOutErr; ++i)
    {
        nCode = WaitForReadableOrWake(sockets, 1, &wake, 100, &nIndex, &bWoken);
        if (bWoken)
            wake.Drain();
    }
    EXPECT_EQ(ZymSocketOk, nCode);
    EXPECT_EQ(0, nIndex);
    socket.Disconnect();
}

TEST(SendPacing, ALineLeavesAtOnceAfterAQuietSpellAndOtherwiseOneIntervalAfterTheLast)
{
    typedef SendPacing::Clock Clock;
    const Clock::time_point t0 = Clock::now();
    auto at = [t0](int nMicroseconds) { return t0 + std::chrono::microseconds(nMicroseconds); };

    SendPacing fresh(100);
    EXPECT_TRUE(fresh.MayLeave(t0));
    EXPECT_EQ(100, fresh.WaitMilliseconds(t0, 100));

    struct Case
    {
        int nNowUs;
        bool bMayLeave;
        int nWaitMs;
    };
    // One line left at t0; the wait limit is 100 ms.
    const Case cases[] = {
        {0, false, 100},       {1, false, 100},     {40000, false, 60},
        {99001, false, 1},     {99999, false, 1},   {100000, true, 100},
        {250000, true, 100},
    };
    SendPacing pacing(100);
    pacing.Left(t0);
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.bMayLeave, pacing.MayLeave(at(c.nNowUs))) << c.nNowUs;
        EXPECT_EQ(c.nWaitMs, pacing.WaitMilliseconds(at(c.nNowUs), 100)) << c.nNowUs;
    }
    // A shorter limit caps the wait.
    EXPECT_EQ(30, pacing.WaitMilliseconds(at(0), 30));
}
