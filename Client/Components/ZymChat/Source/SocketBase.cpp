#include "SocketBase.h"

#include <cstring>

#include "SocketResults.h"

SocketBase::SocketBase()
    : m_nNetworkState(0), m_nConnectionState(0), m_nPort(0), m_hSocket(0)
{
    std::memset(&m_StartupData, 0, sizeof(m_StartupData));
    std::memset(&m_PeerAddress, 0, sizeof(m_PeerAddress));
}

SocketBase::~SocketBase()
{
}

int SocketBase::GetNetworkState()
{
    return m_nNetworkState;
}

int SocketBase::GetConnectionState()
{
    return m_nConnectionState;
}

int SocketBase::SettingsQueryResult() const
{
    if (m_nNetworkState == 0)
        return ZymNetworkNotStarted;
    if (m_nNetworkState == 2)
        return ZymNetworkFailed;
    return ZymSocketOk;
}

int SocketBase::GetAddress(SocketAddress* pAddress)
{
    if (pAddress == nullptr)
        return ZymNullArgument;
    int nResult = SettingsQueryResult();
    *pAddress = nResult == ZymSocketOk ? m_Address : SocketAddress();
    return nResult;
}

int SocketBase::GetPort(int* pPort)
{
    if (pPort == nullptr)
        return ZymNullArgument;
    int nResult = SettingsQueryResult();
    *pPort = nResult == ZymSocketOk ? m_nPort : -1;
    return nResult;
}

bool SocketBase::HoldsData()
{
    return false;
}

int SocketBase::BytesAvailable(int* pCount)
{
    if (pCount == nullptr)
        return ZymNullArgument;
    u_long nAvailable = 0;
    if (ioctlsocket(m_hSocket, FIONREAD, &nAvailable) != 0)
    {
        WSAGetLastError();
        return ZymSocketQueryFailed;
    }
    *pCount = static_cast<int>(nAvailable);
    return nAvailable == 0 ? ZymNothingToRead : ZymSocketOk;
}
