// The library's entry point, as the platform's loader calls it.
#pragma once

#include "platform/platform.h"

BOOL WINAPI DllMain(HMODULE module, DWORD reason, LPVOID reserved);
