#include "InterlockedCount.h"

#include <windows.h>

long ZymInterlockedIncrement(volatile long* pCount)
{
    return InterlockedIncrement(pCount);
}

long ZymInterlockedDecrement(volatile long* pCount)
{
    return InterlockedDecrement(pCount);
}

long ZymInterlockedRead(volatile long* pValue)
{
    // Exchanges 0 for 0 only when the value is 0: a read with a full fence.
    return InterlockedCompareExchange(pValue, 0, 0);
}

void ZymInterlockedWrite(volatile long* pValue, long nValue)
{
    InterlockedExchange(pValue, nValue);
}
