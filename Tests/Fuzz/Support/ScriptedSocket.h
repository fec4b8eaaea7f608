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

    int Connect(const SocketAddress& address, int nPort) override;
    int Disconnect() override;
    int Send(const char* pData, int* pLength) override;
    int Receive(char* pBuffer, int* pLength) override;

    bool HasMore() const { return m_nOffset < m_nSize; }
    // Everything sent since the last call.
    std::string TakeSent();

private:
    const char* m_pData;
    size_t m_nSize;
    size_t m_nOffset;
    int m_nMaxPiece;
    std::string m_Sent;
};

#endif
