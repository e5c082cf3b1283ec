// The engine interface. Until skins are read and windows are taken over, the calls accept their
// arguments and change nothing.
#include "SkinEngine.h"

extern "C" {

int WINAPI SkinStartup(HINSTANCE, const char*, void*, void*) { return 1; }
void WINAPI SkinShutdown(void) {}
int WINAPI SkinApplyResource(HINSTANCE, const char*, const char*) { return 0; }
int WINAPI SkinSetAutoDialog(const char*) { return 1; }
int WINAPI SkinSetTooltip(HWND, const char*) { return 0; }
int WINAPI SkinGetError(void) { return 0; }

}  // extern "C"
