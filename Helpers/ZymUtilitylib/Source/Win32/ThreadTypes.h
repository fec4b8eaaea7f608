#ifndef ZYM_PLATFORM_THREADTYPES_H
#define ZYM_PLATFORM_THREADTYPES_H

#include <windows.h>

// What the thread classes hold on Windows: a critical section, and handles
// of an event and of a thread.
typedef CRITICAL_SECTION ZymLockPrimitive;
typedef HANDLE ZymEventHandle;
typedef HANDLE ZymThreadHandle;

// The calling convention _beginthreadex expects of a thread's entry.
#define ZYM_THREAD_CALL __stdcall

#endif
