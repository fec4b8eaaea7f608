#include "SystemCommonControls.h"

#include "PathJoin.h"

#include <commctrl.h>

SystemCommonControls::SystemCommonControls()
    : m_hLibrary(nullptr)
{
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, sizeof folder);
    char path[MAX_PATH];
    if (length > 0 && length < sizeof folder && JoinPath(path, sizeof path, folder, "comctl32.dll"))
        m_hLibrary = LoadLibraryA(path);
}

SystemCommonControls::~SystemCommonControls()
{
    if (m_hLibrary != nullptr)
        FreeLibrary(m_hLibrary);
}

bool SystemCommonControls::InitBarClasses()
{
    if (m_hLibrary == nullptr)
        return false;
    typedef BOOL(WINAPI * InitFunction)(const INITCOMMONCONTROLSEX*);
    const InitFunction init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_hLibrary, "InitCommonControlsEx")));
    if (init == nullptr)
        return false;
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES;
    return init(&controls) != FALSE;
}
