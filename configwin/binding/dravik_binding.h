// The utility's calls into libDravik.so.5, the library's run-time name
// (libDravik.so is only there for building). The library is not linked: it
// is loaded by name (from the executable's own folder first, then the normal
// library search), and every function the utility calls is looked up then,
// before any of them runs, so that a library lacking one is refused before
// anything reaches a sensor. A missing library or function ends the program
// with a message that names it and the status of a missing library.
#ifndef CONFIGWIN_DRAVIK_BINDING_H
#define CONFIGWIN_DRAVIK_BINDING_H

#include "Dravik.h"

#include <cstddef>
#include <functional>
#include <string>

namespace dravik {

inline constexpr char kLibraryName[] = "libDravik.so.5";

// Every library function the utility calls, in the order they are looked up.
// clang-format off
#define DRAVIK_CALLED_FUNCTIONS(function)                                                                 \
    function(USBConnect) function(USBDisconnect) function(GetLibVersion) function(GetLastLibErr)          \
    function(ReadCfg) function(WriteCfg) function(ResetFactoryDflts)                                      \
    function(GetTyvelParms) function(SetTyvelParms) function(GetWalkAwayParms) function(SetWalkAwayParms) \
    function(GetWalkUpParms) function(SetWalkUpParms) function(GetIdleParms) function(SetIdleParms)       \
    function(GetObjRangeInfo) function(HaltKBSends)                                                       \
    /* for a scripted run's report on the sensors it found */                                             \
    function(GetDevCnt) function(SetActDev) function(GetLUID) function(GetDID)
// clang-format on

enum class Called : std::size_t {
#define DRAVIK_CALLED_ENUMERATOR(name) name,
    DRAVIK_CALLED_FUNCTIONS(DRAVIK_CALLED_ENUMERATOR)
#undef DRAVIK_CALLED_ENUMERATOR
};

// Called with the message just before the program ends on a binding failure,
// in place of writing it to stderr; the window shows it and writes it there.
void setBindingFailureNotice(std::function<void(const std::string&)> notice);

// Loads the library and looks up every function the utility calls, so that a
// program that can't have them ends by returning, with its objects torn down,
// and not from within a call: false, after the failure notice, when the
// library can't be loaded or lacks a function.
bool loadLibrary();

// The address of `function`; loads the library first when loadLibrary() has
// not. Does not return when the library or any function is missing.
void* address(Called function);

template <Called function, typename Signature>
class LibraryFunction;

template <Called function, typename Result, typename... Params>
class LibraryFunction<function, Result(Params...)> {
public:
    Result operator()(Params... params) const
    {
        return reinterpret_cast<Result (*)(Params...)>(address(function))(params...);
    }
};

// Called like the library's own functions: dravik::ReadCfg().
#define DRAVIK_LIBRARY_FUNCTION(name) inline constexpr LibraryFunction<Called::name, decltype(::name)> name{};
DRAVIK_CALLED_FUNCTIONS(DRAVIK_LIBRARY_FUNCTION)
#undef DRAVIK_LIBRARY_FUNCTION

}  // namespace dravik

#endif
