// The library's entry point, as the platform's loader calls it.
#ifndef DRAVIK_ENTRY_H
#define DRAVIK_ENTRY_H

#include "platform/platform.h"

BOOL WINAPI DllMain(HMODULE module, DWORD reason, LPVOID reserved);

#endif
