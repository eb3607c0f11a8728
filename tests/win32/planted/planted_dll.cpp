// A DLL that does nothing: left beside a test program as someone might leave
// one in a Downloads folder.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
