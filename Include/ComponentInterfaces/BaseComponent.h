#ifndef ZYM_BASECOMPONENT_H
#define ZYM_BASECOMPONENT_H

// Root of the component interfaces. The order of the virtual operations is
// part of the binary contract with the host and must not change.
class BaseComponent
{
public:
    // The root hands out no interface: null for every name.
    virtual void* GetInterface(const char* pszName, int nType);
    virtual int AddRef();
    // Destroys the object through its virtual destructor when the count
    // reaches 0.
    virtual int Release();
    virtual ~BaseComponent();

protected:
    // Counts the object among the library's live objects.
    BaseComponent();

    int m_nRefCount;

private:
    BaseComponent(const BaseComponent&) = delete;
    BaseComponent& operator=(const BaseComponent&) = delete;
};

#endif
