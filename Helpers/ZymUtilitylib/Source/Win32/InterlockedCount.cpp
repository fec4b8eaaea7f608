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
