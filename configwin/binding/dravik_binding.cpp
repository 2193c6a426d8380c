#include "binding/dravik_binding.h"

#include "app/exit_status.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace dravik {
namespace {

std::function<void(const std::string&)>& failureNotice()
{
    static std::function<void(const std::string&)> notice;
    return notice;
}

void notify(const std::string& message)
{
    if (failureNotice()) {
        failureNotice()(message);
    } else {
        std::fprintf(stderr, "%s\n", message.c_str());
        std::fflush(stderr);
    }
}

[[noreturn]] void endProgram(const std::string& message)
{
    notify(message);
    std::exit(exitStatus(RunCause::LibraryMissing));
}

std::string executableFolder()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string executable(path, static_cast<size_t>(length));
    return executable.substr(0, executable.rfind('/'));
}

std::string dlerrorText()
{
    const char* reason = dlerror();
    return reason ? reason : "unknown reason";
}

// Null when the library can't be loaded; `problem` then says why.
void* load(std::string& problem)
{
    static void* handle = nullptr;
    if (handle)
        return handle;
    const std::string besideExecutable = executableFolder() + "/" + kLibraryName;
    const bool local = access(besideExecutable.c_str(), F_OK) == 0;
    handle = dlopen(local ? besideExecutable.c_str() : kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        problem = std::string("Cannot load the device library ") + kLibraryName + ": " + dlerrorText();
    return handle;
}

void* library()
{
    std::string problem;
    void* handle = load(problem);
    if (!handle)
        endProgram(problem);
    return handle;
}

}  // namespace

void setBindingFailureNotice(std::function<void(const std::string&)> notice)
{
    failureNotice() = std::move(notice);
}

bool loadLibrary()
{
    std::string problem;
    if (load(problem))
        return true;
    notify(problem);
    return false;
}

void* resolveFunction(const char* name)
{
    void* address = dlsym(library(), name);
    if (!address)
        endProgram(std::string("The device library ") + kLibraryName + " has no function " + name);
    return address;
}

}  // namespace dravik
