#include "ffi/fault_hook.h"

#include <atomic>

namespace quorvix::ffi {
namespace {

std::atomic<FaultHook> installed_hook{nullptr};

}  // namespace

void set_fault_hook(FaultHook hook) noexcept { installed_hook.store(hook, std::memory_order_release); }

void run_fault_hook() {
  if (const FaultHook hook = installed_hook.load(std::memory_order_acquire)) hook();
}

}  // namespace quorvix::ffi
