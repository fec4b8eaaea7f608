#ifndef ZYM_ZYMSLEEP_H
#define ZYM_ZYMSLEEP_H

// Suspends the calling thread for nMilliseconds.
void ZymSleep(int nMilliseconds);

#endif
