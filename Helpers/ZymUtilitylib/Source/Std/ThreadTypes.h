#ifndef ZYM_PLATFORM_THREADTYPES_H
#define ZYM_PLATFORM_THREADTYPES_H

#include <mutex>

// What the thread classes hold on the C++ standard library: a mutex, and
// owned records of an auto-reset event and of a started thread (defined
// where they are used).
struct StdAutoResetEvent;
struct StdThreadRecord;

typedef std::mutex ZymLockPrimitive;
typedef StdAutoResetEvent* ZymEventHandle;
typedef StdThreadRecord* ZymThreadHandle;

#define ZYM_THREAD_CALL

#endif
