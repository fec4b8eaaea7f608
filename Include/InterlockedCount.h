#ifndef ZYM_INTERLOCKEDCOUNT_H
#define ZYM_INTERLOCKEDCOUNT_H

// Atomic steps of a count shared between threads; each returns the new value.
long ZymInterlockedIncrement(volatile long* pCount);
long ZymInterlockedDecrement(volatile long* pCount);

#endif
