#include "binding/dravik_binding.h"

#include "app/exit_status.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
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

constexpr const char* kCalledNames[] = {
#define DRAVIK_CALLED_NAME(name) #name,
    DRAVIK_CALLED_FUNCTIONS(DRAVIK_CALLED_NAME)
#undef DRAVIK_CALLED_NAME
};

void* addresses[std::size(kCalledNames)];
bool resolved = false;

// False when the library can't be loaded or lacks a function; `problem` then
// says why.
bool resolveAll(std::string& problem)
{
    static void* handle = nullptr;
    if (resolved)
        return true;
    if (!handle) {
        const std::string besideExecutable = executableFolder() + "/" + kLibraryName;
        const bool local = access(besideExecutable.c_str(), F_OK) == 0;
        handle = dlopen(local ? besideExecutable.c_str() : kLibraryName, RTLD_NOW | RTLD_LOCAL);
    }
    if (!handle) {
        problem = std::string("Cannot load the device library ") + kLibraryName + ": " + dlerrorText();
        return false;
    }
    for (std::size_t index = 0; index < std::size(kCalledNames); ++index) {
        addresses[index] = dlsym(handle, kCalledNames[index]);
        if (!addresses[index]) {
            problem = std::string("The device library ") + kLibraryName + " has no function " + kCalledNames[index];
            return false;
        }
    }
    resolved = true;
    return true;
}

}  // namespace

void setBindingFailureNotice(std::function<void(const std::string&)> notice)
{
    failureNotice() = std::move(notice);
}

bool loadLibrary()
{
    std::string problem;
    if (resolveAll(problem))
        return true;
    notify(problem);
    return false;
}

void* address(Called function)
{
    std::string problem;
    if (!resolveAll(problem))
        endProgram(problem);
    return addresses[static_cast<std::size_t>(function)];
}

}  // namespace dravik
