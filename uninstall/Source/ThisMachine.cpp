#include "ThisMachine.h"

// The socket headers must come before windows.h, which would bring the old
// ones.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>
#include <lm.h>

#include "InstallFolderGuard.h"
#include "ServerAddress.h"
#include "SystemLibrary.h"

#include <string>
#include <vector>

namespace
{
void AddMachineNames(InstallFolderGuard& guard)
{
    const COMPUTER_NAME_FORMAT formats[] = { ComputerNameNetBIOS, ComputerNameDnsHostname,
                                             ComputerNameDnsFullyQualified };
    for (COMPUTER_NAME_FORMAT format : formats)
    {
        wchar_t name[256];
        DWORD length = 256;
        if (GetComputerNameExW(format, name, &length))
            guard.AddMachineName(std::wstring(name, length));
    }
}

void AddMachineAddresses(InstallFolderGuard& guard)
{
    typedef ULONG(WINAPI * GetAddresses)(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG);
    const SystemLibrary library(L"iphlpapi.dll");
    const GetAddresses getAddresses =
        reinterpret_cast<GetAddresses>(reinterpret_cast<void*>(library.Procedure("GetAdaptersAddresses")));
    if (getAddresses == nullptr)
        return;
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    std::vector<unsigned char> buffer(16 * 1024);
    ULONG result = ERROR_BUFFER_OVERFLOW;
    // The list may grow between the calls.
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt)
    {
        ULONG size = static_cast<ULONG>(buffer.size());
        result = getAddresses(AF_UNSPEC, flags, nullptr, reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.data()),
                              &size);
        if (result == ERROR_BUFFER_OVERFLOW)
            buffer.resize(size);
    }
    if (result != NO_ERROR)
        return;
    for (const IP_ADAPTER_ADDRESSES* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
         adapter != nullptr; adapter = adapter->Next)
    {
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next)
        {
            const SOCKADDR* address = unicast->Address.lpSockaddr;
            if (address == nullptr)
                continue;
            if (address->sa_family == AF_INET)
            {
                const sockaddr_in* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
                guard.AddMachineAddress(
                    ServerAddress::FromIpv4(reinterpret_cast<const unsigned char*>(&ipv4->sin_addr)));
            }
            else if (address->sa_family == AF_INET6)
            {
                const sockaddr_in6* ipv6 = reinterpret_cast<const sockaddr_in6*>(address);
                guard.AddMachineAddress(
                    ServerAddress::FromIpv6(reinterpret_cast<const unsigned char*>(&ipv6->sin6_addr)));
            }
        }
    }
}

// Owns a buffer the network functions allocated.
class NetBuffer
{
public:
    explicit NetBuffer(const SystemLibrary& library)
        : m_Free(reinterpret_cast<FreeFunction>(reinterpret_cast<void*>(library.Procedure("NetApiBufferFree"))))
        , m_pData(nullptr)
    {
    }
    ~NetBuffer()
    {
        if (m_pData != nullptr && m_Free != nullptr)
            m_Free(m_pData);
    }
    LPBYTE* Receiver() { return &m_pData; }
    LPBYTE Data() const { return m_pData; }

private:
    typedef NET_API_STATUS(WINAPI * FreeFunction)(LPVOID);
    NetBuffer(const NetBuffer&) = delete;
    NetBuffer& operator=(const NetBuffer&) = delete;

    FreeFunction m_Free;
    LPBYTE m_pData;
};

// The disk shares and their folders. Listing them needs an administrator's
// rights; without them no share is known, and a path through any share of
// this machine is refused.
void AddShares(InstallFolderGuard& guard)
{
    typedef NET_API_STATUS(WINAPI * EnumShares)(LMSTR, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD, LPDWORD);
    const SystemLibrary library(L"netapi32.dll");
    const EnumShares enumShares =
        reinterpret_cast<EnumShares>(reinterpret_cast<void*>(library.Procedure("NetShareEnum")));
    if (enumShares == nullptr || library.Procedure("NetApiBufferFree") == nullptr)
        return;
    NetBuffer buffer(library);
    DWORD read = 0;
    DWORD total = 0;
    if (enumShares(nullptr, 2, buffer.Receiver(), MAX_PREFERRED_LENGTH, &read, &total, nullptr) != NERR_Success
        || buffer.Data() == nullptr)
        return;
    const SHARE_INFO_2* shares = reinterpret_cast<const SHARE_INFO_2*>(buffer.Data());
    for (DWORD i = 0; i < read; ++i)
        if ((shares[i].shi2_type & 0xFF) == STYPE_DISKTREE && shares[i].shi2_netname != nullptr
            && shares[i].shi2_path != nullptr)
            guard.AddShare(shares[i].shi2_netname, shares[i].shi2_path);
}
}

void AddThisMachine(InstallFolderGuard& guard)
{
    AddMachineNames(guard);
    AddMachineAddresses(guard);
    AddShares(guard);
}
