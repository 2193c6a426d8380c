// The C entry points of the library, of its modules and of the simulator
// stand for platform functions, which report a failure by their result: no
// exception may leave them, whatever the C++ inside throws (memory running
// out, a file system walk failing, something that is no std::exception).
#ifndef DRAVIK_WITHOUT_EXCEPTIONS_H
#define DRAVIK_WITHOUT_EXCEPTIONS_H

#include <exception>
#include <utility>

// What body returns, or failure when it throws, after onFailure has been
// told what was thrown: the std::exception, or null for anything else.
// onFailure itself must not throw.
template <typename Result, typename Body, typename OnFailure>
Result withoutExceptions(Result failure, Body&& body, OnFailure&& onFailure) noexcept
{
    try {
        return body();
    } catch (const std::exception& error) {
        onFailure(&error);
    } catch (...) {
        onFailure(nullptr);
    }
    return failure;
}

// What body returns, or failure when it throws.
template <typename Result, typename Body>
Result withoutExceptions(Result failure, Body&& body) noexcept
{
    return withoutExceptions(failure, std::forward<Body>(body), [](const std::exception*) {});
}

#endif
