// The C entry points of the library, of its modules and of the simulator
// stand for platform functions, which report a failure by their result: no
// exception may leave them, whatever the C++ inside throws (memory running
// out, a file system walk failing).
#ifndef DRAVIK_WITHOUT_EXCEPTIONS_H
#define DRAVIK_WITHOUT_EXCEPTIONS_H

// What body returns, or failure when it throws.
template <typename Result, typename Body>
Result withoutExceptions(Result failure, Body&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

#endif
