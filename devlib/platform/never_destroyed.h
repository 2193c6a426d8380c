// A function's static state that the library, its modules or the simulator
// may still use from their unload, after the static destructors have run.
#ifndef DRAVIK_NEVER_DESTROYED_H
#define DRAVIK_NEVER_DESTROYED_H

#include <new>

// A T made in static storage, so that making it can't fail, and never
// destroyed.
template <typename T>
class NeverDestroyed {
public:
    NeverDestroyed() : object_(new (storage_) T) {}
    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;

    T& get() const { return *object_; }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
    T* const object_;
};

#endif
