#ifndef ZYM_FUZZ_SCRIPTEDSOCKET_H
#define ZYM_FUZZ_SCRIPTEDSOCKET_H

#include <cstddef>
#include <string>

#include "SocketBase.h"

// A connected socket without a network: Receive hands out the scripted
// server bytes in pieces of at most a chosen size, Send records what the
// component sends.
class ScriptedSocket : public SocketBase
{
public:
    ScriptedSocket(const char* pData, size_t nSize, int nMaxPiece);

    SocketResult Connect(const SocketAddress& address, int nPort) override;
    SocketResult Disconnect() override;
    SocketResult Send(const char* pData, int* pLength) override;
    SocketResult Receive(char* pBuffer, int* pLength) override;
    StreamState GetConnectionState() const override { return m_State; }
    SocketResult BytesAvailable(int*) override { return ZymNothingToRead; }
    bool HoldsData() const override { return false; }
    SocketHandle GetHandle() const override { return 0; }

    bool HasMore() const { return m_nOffset < m_nSize; }
    // Everything sent since the last call.
    std::string TakeSent();

private:
    StreamState m_State;
    const char* m_pData;
    size_t m_nSize;
    size_t m_nOffset;
    int m_nMaxPiece;
    std::string m_Sent;
};

#endif
