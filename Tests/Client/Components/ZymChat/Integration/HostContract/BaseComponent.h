#ifndef CONTRACT_BASECOMPONENT_H
#define CONTRACT_BASECOMPONENT_H

// The host's own copy of the component's root interface, written from the
// published order of the virtual table alone: a host built this way must be
// able to drive the library without its headers.
namespace contract
{
class BaseComponent
{
public:
    virtual void* GetInterface(const char* name, int type) = 0;
    virtual int AddRef() = 0;
    virtual int Release() = 0;
    // Holds the destructor's place in the table; hosts never call it.
    virtual ~BaseComponent() {}
};
}

#endif
