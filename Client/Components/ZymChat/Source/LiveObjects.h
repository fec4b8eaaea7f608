#ifndef ZYM_LIVEOBJECTS_H
#define ZYM_LIVEOBJECTS_H

// Number of component objects of the library that are alive. A plain
// integer: the host creates and destroys objects from one thread.
int ZymLiveObjectCount();

#endif
