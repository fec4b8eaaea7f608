#ifndef ZYM_DESCRIPTORUSE_H
#define ZYM_DESCRIPTORUSE_H

// The descriptors of the BSD form that calls use on one thread while
// another thread may close them. Closing shuts a descriptor down at once,
// which ends the calls waiting on it, but closes it only when its last call
// has returned: a closed descriptor's number is soon given to another file,
// and a call still holding the old number would act on that file.
namespace DescriptorUse
{
    // A descriptor just opened.
    void Register(int hSocket);
    // Shuts the descriptor down, and closes it now or when its last user
    // leaves.
    void Close(int hSocket);
}

// Holds a registered descriptor for one call; Held is false when the
// descriptor is closed or being closed, and the call must not use it.
class DescriptorHold
{
public:
    explicit DescriptorHold(int hSocket);
    ~DescriptorHold();

    bool Held() const { return m_bHeld; }

private:
    DescriptorHold(const DescriptorHold&) = delete;
    DescriptorHold& operator=(const DescriptorHold&) = delete;

    int m_hSocket;
    bool m_bHeld;
};

#endif
