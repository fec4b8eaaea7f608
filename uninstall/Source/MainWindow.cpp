#include "MainWindow.h"

#include "Resource.h"

namespace
{
LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
    {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        // The line of text above the bar takes the window's own background.
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_MENU));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_ABOUT)
            return 0;
        if (LOWORD(wParam) == IDM_EXIT)
        {
            DestroyWindow(window);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
}

bool RegisterMainWindowClass(HINSTANCE hInstance, const char* className)
{
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProcedure;
    windowClass.hInstance = hInstance;
    windowClass.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_UNINSTALL));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_SMALL));
    return RegisterClassExA(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE hInstance, const char* className, const char* title)
{
    return CreateWindowExA(0, className, title, WS_DLGFRAME, 100, 100, 650, 100, nullptr, nullptr,
                           hInstance, nullptr);
}
