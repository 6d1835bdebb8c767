#pragma once

namespace realm {

// The calling thread's number, as lowerThreadPriority takes it.
int currentThreadNumber();
// Puts a thread that is no longer waited for behind every other one, so a
// login left hanging in the driver does not compete for the processor.
void lowerThreadPriority(int threadNumber);

} // namespace realm
