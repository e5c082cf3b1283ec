// Stands in for a browser in the link tests: writes the command line it was started with into
// the file named by its first argument, then ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  // Written under another name first, so that the test never reads half a file.
  char partial[MAX_PATH + 8];
  std::snprintf(partial, sizeof partial, "%s.part", __argv[1]);
  FILE* out = std::fopen(partial, "wb");
  if (!out) return 1;
  std::fputs(GetCommandLineA(), out);
  std::fclose(out);
  return MoveFileExA(partial, __argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
