#ifndef UNINSTALL_HELDFOLDER_H
#define UNINSTALL_HELDFOLDER_H

#include "KernelHandle.h"

#include <string>

// A folder opened for the removal without following a link. While the object
// lives the folder is held open without delete sharing, so it can be neither
// renamed nor deleted, and so not swapped for a link, while its contents are
// listed and deleted by name below it.
class HeldFolder
{
public:
    explicit HeldFolder(const std::wstring& path);

    // True for a plain folder that the file system resolves to exactly the
    // path it was opened by: no junction, symbolic link or other reparse
    // point, and none on the way to it.
    bool IsPlainFolder() const { return m_bPlain; }
    void Release() { m_Handle.Close(); }

private:
    KernelHandle m_Handle;
    bool m_bPlain;
};

#endif
