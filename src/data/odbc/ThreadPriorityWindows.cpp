#include "data/odbc/ThreadPriority.h"

#include <windows.h>

namespace realm {

int currentThreadNumber()
{
    return int(GetCurrentThreadId());
}

void lowerThreadPriority(int threadNumber)
{
    HANDLE thread = OpenThread(THREAD_SET_LIMITED_INFORMATION, FALSE, DWORD(threadNumber));
    if (!thread)
        return;
    SetThreadPriority(thread, THREAD_PRIORITY_IDLE);
    CloseHandle(thread);
}

void yieldToInteractiveThreads()
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

} // namespace realm
