#ifndef UNINSTALL_SYSTEMCOMMONCONTROLS_H
#define UNINSTALL_SYSTEMCOMMONCONTROLS_H

#include <windows.h>

// The common controls library, loaded by its full path in the system folder
// and kept loaded while the object lives. The relaunched copy runs from the
// temporary folder, where anyone may place a DLL of that name; a static
// import or a load by name would search there first.
class SystemCommonControls
{
public:
    SystemCommonControls();
    ~SystemCommonControls();

    // Registers the progress bar class; false when the library is missing.
    bool InitBarClasses();

private:
    SystemCommonControls(const SystemCommonControls&) = delete;
    SystemCommonControls& operator=(const SystemCommonControls&) = delete;

    HMODULE m_hLibrary;
};

#endif
