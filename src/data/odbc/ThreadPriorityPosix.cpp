#include "data/odbc/ThreadPriority.h"

#include <cerrno>

#include <sys/resource.h>
#include <unistd.h>

namespace realm {

int currentThreadNumber()
{
    return int(gettid());
}

void lowerThreadPriority(int threadNumber)
{
    setpriority(PRIO_PROCESS, id_t(threadNumber), 19);
}

void yieldToInteractiveThreads()
{
    // Linux keeps a nice value for each thread; the program's is its first
    // thread's. A failed call only costs the preference.
    errno = 0;
    const int programNice = getpriority(PRIO_PROCESS, id_t(getpid()));
    if (errno == 0)
        setpriority(PRIO_PROCESS, id_t(gettid()), programNice + 5);
}

} // namespace realm
