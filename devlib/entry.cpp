#include "lib_state.h"

// The loader's entry point: the library starts idle with every slot empty.
__attribute__((constructor)) static void onLibraryLoad() { InitLibState(); }
