#pragma once

namespace realm {

// The calling thread's number, as lowerThreadPriority takes it.
int currentThreadNumber();
// Puts a thread that is no longer waited for behind every other one, so a
// login left hanging in the driver does not compete for the processor.
void lowerThreadPriority(int threadNumber);
// Lets the threads that answer the user (the window's, the command line's
// writer) go first when the processors are busy: the calling thread reads
// rows faster than they can be shown, and would otherwise delay the
// window's events behind its own work.
void yieldToInteractiveThreads();

} // namespace realm
