#ifndef DRAVIK_TESTS_SCOPED_ENV_H
#define DRAVIK_TESTS_SCOPED_ENV_H

#include <cstdlib>
#include <optional>
#include <string>

#ifdef _WIN32
// The C runtime's own names; an empty value removes the variable.
inline void setenv(const char* name, const char* value, int)
{
    _putenv_s(name, value);
}
inline void unsetenv(const char* name)
{
    _putenv_s(name, "");
}
#endif

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

#endif
