// A seam through which tests make a conversion fail internally at the C
// boundary. The hook is an internal symbol of the core library: the shared
// library does not export it, and no request or environment setting reaches it.
#pragma once

namespace quorvix::ffi {

// Called inside the guard of every conversion, before the request is read. A
// hook that throws stands for an internal failure of the conversion.
using FaultHook = void (*)();

// Installs `hook` for all later conversions; nullptr removes it. Tests set it
// while no conversion is running.
void set_fault_hook(FaultHook hook) noexcept;

// Calls the installed hook, if any.
void run_fault_hook();

}  // namespace quorvix::ffi
