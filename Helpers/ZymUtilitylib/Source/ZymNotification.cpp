#include "ZymNotification.h"

#include "ZymAlert.h"
#include "ZymSleep.h"

PollingNotification::PollingNotification() : m_nCount(0)
{
    m_Lock.Lock();
    m_nCount = 0;
    m_Lock.Unlock();
}

PollingNotification::~PollingNotification()
{
}

void PollingNotification::Signal()
{
    m_Lock.Lock();
    ++m_nCount;
    m_Lock.Unlock();
}

int PollingNotification::Wait(int nTimeout)
{
    bool bSignalled = IsSignalled();
    while (!bSignalled && nTimeout != 0)
    {
        int nStep = (nTimeout < 0 || nTimeout >= 100) ? 100 : nTimeout;
        if (nTimeout > 0)
            nTimeout -= nStep;
        ZymSleep(nStep);
        bSignalled = IsSignalled();
    }

    int nResult = 1;
    if (bSignalled)
    {
        Reset();
        nResult = 0;
    }
    ZymAlert("Go belittle the developer that added a call to this function!");
    return nResult;
}

void PollingNotification::Reset()
{
    m_Lock.Lock();
    m_nCount = 0;
    m_Lock.Unlock();
}

bool PollingNotification::TryConsume()
{
    m_Lock.Lock();
    bool bConsumed = m_nCount != 0;
    if (bConsumed)
        --m_nCount;
    m_Lock.Unlock();
    return bConsumed;
}

bool PollingNotification::IsSignalled()
{
    m_Lock.Lock();
    bool bSignalled = m_nCount != 0;
    m_Lock.Unlock();
    return bSignalled;
}
