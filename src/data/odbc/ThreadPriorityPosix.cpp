#include "data/odbc/ThreadPriority.h"

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

} // namespace realm
