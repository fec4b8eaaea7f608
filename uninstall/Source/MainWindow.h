#ifndef UNINSTALL_MAINWINDOW_H
#define UNINSTALL_MAINWINDOW_H

#include <windows.h>

// Registers the class of the uninstaller's window; false when it fails.
bool RegisterMainWindowClass(HINSTANCE hInstance, const char* className);

// Creates the main window at (100, 100), 650 by 100, with a dialog frame.
HWND CreateMainWindow(HINSTANCE hInstance, const char* className, const char* title);

#endif
