#pragma once
// Shared between the framework's own files; not part of its interface.

#include <windows.h>

// Window property holding the procedure a window had before it was subclassed.
extern const char kFwOldProcProperty[];

void FwFreeTempWindows();
void FwFreeTempMenus();
void FwFreeTempGdi();

// Nesting depth of the framework's message loops on this thread.
int& FwLoopDepth();

// The owner for a modal window that names none: the active window of this thread, else the
// application's main window.
HWND FwDefaultOwner();
