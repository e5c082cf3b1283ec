#pragma once
// Flat calling interface of the skin engine. Results are 1 for success and 0 for failure; the
// calling thread's error code (SkinGetError) says why.

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Starts the engine for the calling thread; the three reserved arguments are accepted and unused.
int WINAPI SkinStartup(HINSTANCE module, const char* reserved1, void* reserved2, void* reserved3);
// Stops the engine for the calling thread; the last thread tears it down.
void WINAPI SkinShutdown(void);
// Loads a skin from the module's resources and makes it current.
int WINAPI SkinApplyResource(HINSTANCE module, const char* name, const char* type);
// The skin object given to every dialog box created from now on (at most 50 characters).
int WINAPI SkinSetAutoDialog(const char* objectName);
// Tooltip text of a skinned window.
int WINAPI SkinSetTooltip(HWND window, const char* text);
// The calling thread's last error code.
int WINAPI SkinGetError(void);

#ifdef __cplusplus
}
#endif
