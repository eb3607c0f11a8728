// The harmless test specimen: a windowless program that does nothing but
// wait until something ends it. The detection texts are not in this source;
// the build appends them after the image (append_texts.cmake), one variant
// per rule, so a scan finds a real running process to detect and terminate.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ::Sleep(INFINITE);
  return 0;
}
