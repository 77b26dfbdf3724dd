// Fails one chosen allocation of the code under test: the Nth call, counted
// from arming, to operator new (any form) or to the library's allocate() and
// reallocate(). operator new is replaced for the whole executable, so only
// test executables built with allocation_faults.cpp may include this; it
// works under AddressSanitizer, whose malloc the replacement calls.
#pragma once

namespace xoltlog::test {

// The allocation after `allowed` more successful ones fails, once.
void arm_allocation_fault(long allowed);
// Stops counting; true when the armed allocation was reached (and failed).
bool disarm_allocation_fault();

// For allowed = 0, 1, ... until a run no longer reaches its fault: makes a
// state with prepare(allowed), runs run(state) with the allocation after
// `allowed` failing, and hands check(allowed, state, result) the outcome
// with nothing armed. The number of runs.
template <typename Prepare, typename Run, typename Check>
int for_each_allocation_fault(Prepare prepare, Run run, Check check) {
  for (long allowed = 0;; ++allowed) {
    auto state = prepare(allowed);
    arm_allocation_fault(allowed);
    const auto result = run(state);
    const bool failed = disarm_allocation_fault();
    check(allowed, state, result);
    if (!failed) {
      return static_cast<int>(allowed) + 1;
    }
  }
}

}  // namespace xoltlog::test
