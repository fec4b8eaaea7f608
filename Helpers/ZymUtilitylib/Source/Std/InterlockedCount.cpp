#include "InterlockedCount.h"

// The compiler's atomic built-ins work on the plain count that the string
// buffer's layout keeps; this file is built by GCC or Clang only.
long ZymInterlockedIncrement(volatile long* pCount)
{
    return __atomic_add_fetch(pCount, 1, __ATOMIC_SEQ_CST);
}

long ZymInterlockedDecrement(volatile long* pCount)
{
    return __atomic_sub_fetch(pCount, 1, __ATOMIC_SEQ_CST);
}

long ZymInterlockedRead(volatile long* pValue)
{
    return __atomic_load_n(pValue, __ATOMIC_SEQ_CST);
}

void ZymInterlockedWrite(volatile long* pValue, long nValue)
{
    __atomic_store_n(pValue, nValue, __ATOMIC_SEQ_CST);
}
