#ifndef ZYM_INTERLOCKEDCOUNT_H
#define ZYM_INTERLOCKEDCOUNT_H

// Atomic steps of a count shared between threads; each returns the new value.
long ZymInterlockedIncrement(volatile long* pCount);
long ZymInterlockedDecrement(volatile long* pCount);
// A whole-value read and write of the same kind, for a value that another
// thread may change or read at the same time.
long ZymInterlockedRead(volatile long* pValue);
void ZymInterlockedWrite(volatile long* pValue, long nValue);

#endif
