// An object per thread that may still be asked for while the thread ends.
//
// A function-local thread_local object is destroyed with its thread, and a
// function reached later in that thread's teardown (a conversion made from
// a host's own thread-local destructor) would use it after its destruction.
// ThreadObject reaches its object through a slot that is constant-
// initialised and trivially destructible: the object is made on the
// thread's first use, and once the thread's destructors have destroyed it
// the slot is closed and get() gives null, so the caller falls back to an
// object of its own for the call.
//
// Reaching the slot needs no guard either. In a shared library every access
// to a thread-local variable is a call into the dynamic loader, and a
// guarded one costs two.
#pragma once

#include <type_traits>

namespace quorvix {

// `Tag` tells apart objects of the same type.
template <class T, class Tag = T>
class ThreadObject {
 public:
  // The thread's object, made on first use; null once the thread's
  // destructors have destroyed it.
  static T* get() noexcept(std::is_nothrow_default_constructible_v<T>) {
    const Slot slot = tl_slot;
    if (slot.object != nullptr || slot.closed) return slot.object;
    return open();
  }

 private:
  struct Slot {
    T* object = nullptr;
    bool closed = false;
  };
  static constinit inline thread_local Slot tl_slot{};

  // Owns the object and closes the slot when the thread ends.
  struct Owner {
    T object;
    Owner() = default;
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner() { tl_slot = Slot{nullptr, true}; }
  };

  [[gnu::noinline]] static T* open() noexcept(std::is_nothrow_default_constructible_v<T>) {
    thread_local Owner owner;
    tl_slot.object = &owner.object;
    return tl_slot.object;
  }
};

}  // namespace quorvix
