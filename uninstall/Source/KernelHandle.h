#ifndef UNINSTALL_KERNELHANDLE_H
#define UNINSTALL_KERNELHANDLE_H

#include <windows.h>

// Owns a kernel handle (file, process) and closes it on every path.
class KernelHandle
{
public:
    explicit KernelHandle(HANDLE hHandle = nullptr) : m_hHandle(hHandle) {}
    ~KernelHandle() { Close(); }

    HANDLE Get() const { return m_hHandle; }
    bool IsValid() const { return m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE hHandle)
    {
        Close();
        m_hHandle = hHandle;
    }
    // Gives the handle up without closing it.
    HANDLE Release()
    {
        const HANDLE hHandle = m_hHandle;
        m_hHandle = nullptr;
        return hHandle;
    }
    void Close()
    {
        if (IsValid())
            CloseHandle(m_hHandle);
        m_hHandle = nullptr;
    }

private:
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    HANDLE m_hHandle;
};

#endif
