// The utility's calls into libDravik.so.5, the library's run-time name
// (libDravik.so is only there for building). The library is not linked: it
// is loaded by name at the first call (from the executable's own folder
// first, then the normal library search) and each function is looked up by
// name at its own first call and kept. A missing library or function ends the
// program with a message that names it and the status of a missing library.
#ifndef CONFIGWIN_DRAVIK_BINDING_H
#define CONFIGWIN_DRAVIK_BINDING_H

#include "Dravik.h"

#include <functional>
#include <string>

namespace dravik {

inline constexpr char kLibraryName[] = "libDravik.so.5";

// Called with the message just before the program ends on a binding failure,
// in place of writing it to stderr; the window shows it and writes it there.
void setBindingFailureNotice(std::function<void(const std::string&)> notice);

// Loads the library now, so that a program that can't have it ends by
// returning, with its objects torn down, and not from within a call: false,
// after the failure notice, when it can't be loaded.
bool loadLibrary();

// The address of the library's function `name`; loads the library first if
// needed. Does not return when either is missing.
void* resolveFunction(const char* name);

template <typename Signature>
class LibraryFunction;

template <typename Result, typename... Params>
class LibraryFunction<Result(Params...)> {
public:
    constexpr explicit LibraryFunction(const char* name) : name_(name) {}

    Result operator()(Params... params)
    {
        if (!function_)
            function_ = reinterpret_cast<Result (*)(Params...)>(resolveFunction(name_));
        return function_(params...);
    }

private:
    const char* name_;
    Result (*function_)(Params...) = nullptr;
};

// Called like the library's own functions: dravik::ReadCfg().
inline LibraryFunction<decltype(::USBConnect)> USBConnect{"USBConnect"};
inline LibraryFunction<decltype(::USBDisconnect)> USBDisconnect{"USBDisconnect"};
inline LibraryFunction<decltype(::GetLibVersion)> GetLibVersion{"GetLibVersion"};
inline LibraryFunction<decltype(::GetLastLibErr)> GetLastLibErr{"GetLastLibErr"};
inline LibraryFunction<decltype(::ReadCfg)> ReadCfg{"ReadCfg"};
inline LibraryFunction<decltype(::WriteCfg)> WriteCfg{"WriteCfg"};
inline LibraryFunction<decltype(::ResetFactoryDflts)> ResetFactoryDflts{"ResetFactoryDflts"};
inline LibraryFunction<decltype(::GetTyvelParms)> GetTyvelParms{"GetTyvelParms"};
inline LibraryFunction<decltype(::SetTyvelParms)> SetTyvelParms{"SetTyvelParms"};
inline LibraryFunction<decltype(::GetWalkAwayParms)> GetWalkAwayParms{"GetWalkAwayParms"};
inline LibraryFunction<decltype(::SetWalkAwayParms)> SetWalkAwayParms{"SetWalkAwayParms"};
inline LibraryFunction<decltype(::GetWalkUpParms)> GetWalkUpParms{"GetWalkUpParms"};
inline LibraryFunction<decltype(::SetWalkUpParms)> SetWalkUpParms{"SetWalkUpParms"};
inline LibraryFunction<decltype(::GetIdleParms)> GetIdleParms{"GetIdleParms"};
inline LibraryFunction<decltype(::SetIdleParms)> SetIdleParms{"SetIdleParms"};
inline LibraryFunction<decltype(::GetObjRangeInfo)> GetObjRangeInfo{"GetObjRangeInfo"};
inline LibraryFunction<decltype(::HaltKBSends)> HaltKBSends{"HaltKBSends"};
// For a scripted run's report on the sensors it found.
inline LibraryFunction<decltype(::GetDevCnt)> GetDevCnt{"GetDevCnt"};
inline LibraryFunction<decltype(::SetActDev)> SetActDev{"SetActDev"};
inline LibraryFunction<decltype(::GetLUID)> GetLUID{"GetLUID"};
inline LibraryFunction<decltype(::GetDID)> GetDID{"GetDID"};
// Declared with the others; the window has no use for them.
inline LibraryFunction<decltype(::WriteDevCfgToFile)> WriteDevCfgToFile{"WriteDevCfgToFile"};
inline LibraryFunction<decltype(::ReadDevCfgFmFile)> ReadDevCfgFmFile{"ReadDevCfgFmFile"};

}  // namespace dravik

#endif
