#include "DescriptorUse.h"

#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <unordered_map>

namespace
{
    struct Use
    {
        int nCalls = 0;
        bool bClosing = false;
    };

    std::mutex g_Mutex;
    std::unordered_map<int, Use> g_Uses;
}

void DescriptorUse::Register(int hSocket)
{
    std::lock_guard<std::mutex> hold(g_Mutex);
    g_Uses[hSocket] = Use();
}

void DescriptorUse::Close(int hSocket)
{
    std::lock_guard<std::mutex> hold(g_Mutex);
    auto found = g_Uses.find(hSocket);
    if (found == g_Uses.end() || found->second.bClosing)
        return;
    shutdown(hSocket, SHUT_RDWR);
    if (found->second.nCalls > 0)
    {
        found->second.bClosing = true;
        return;
    }
    g_Uses.erase(found);
    close(hSocket);
}

DescriptorHold::DescriptorHold(int hSocket) : m_hSocket(hSocket), m_bHeld(false)
{
    std::lock_guard<std::mutex> hold(g_Mutex);
    auto found = g_Uses.find(hSocket);
    if (found != g_Uses.end() && !found->second.bClosing)
    {
        ++found->second.nCalls;
        m_bHeld = true;
    }
}

DescriptorHold::~DescriptorHold()
{
    if (!m_bHeld)
        return;
    std::lock_guard<std::mutex> hold(g_Mutex);
    auto found = g_Uses.find(m_hSocket);
    if (--found->second.nCalls == 0 && found->second.bClosing)
    {
        g_Uses.erase(found);
        close(m_hSocket);
    }
}
