#include "ScriptedSocket.h"

#include <cstring>

#include "SocketResults.h"

ScriptedSocket::ScriptedSocket(const char* pData, size_t nSize, int nMaxPiece)
    : m_State(StreamOpen),
      m_pData(pData),
      m_nSize(nSize),
      m_nOffset(0),
      m_nMaxPiece(nMaxPiece < 1 ? 1 : nMaxPiece)
{
}

SocketResult ScriptedSocket::Connect(const SocketAddress&, int)
{
    return ZymAlreadyConnected;
}

SocketResult ScriptedSocket::Disconnect()
{
    m_State = StreamClosed;
    return ZymSocketOk;
}

SocketResult ScriptedSocket::Send(const char* pData, int* pLength)
{
    m_Sent.append(pData, static_cast<size_t>(*pLength));
    return ZymSocketOk;
}

SocketResult ScriptedSocket::Receive(char* pBuffer, int* pLength)
{
    size_t nPiece = static_cast<size_t>(*pLength < m_nMaxPiece ? *pLength : m_nMaxPiece);
    if (nPiece > m_nSize - m_nOffset)
        nPiece = m_nSize - m_nOffset;
    std::memcpy(pBuffer, m_pData + m_nOffset, nPiece);
    m_nOffset += nPiece;
    *pLength = static_cast<int>(nPiece);
    return ZymSocketOk;
}

std::string ScriptedSocket::TakeSent()
{
    std::string sent;
    sent.swap(m_Sent);
    return sent;
}
