#include "platform/ThreadPriority.h"

#include <pthread.h>
#include <windows.h>

namespace platform {

void ApplyPriority(std::thread& thread, ThreadPriority priority)
{
    int level = THREAD_PRIORITY_NORMAL;
    switch (priority) {
        case ThreadPriority::Idle:
            level = THREAD_PRIORITY_IDLE;
            break;
        case ThreadPriority::BelowNormal:
            level = THREAD_PRIORITY_BELOW_NORMAL;
            break;
        case ThreadPriority::Normal:
            return;
        case ThreadPriority::AboveNormal:
            level = THREAD_PRIORITY_ABOVE_NORMAL;
            break;
        case ThreadPriority::Highest:
            level = THREAD_PRIORITY_HIGHEST;
            break;
        case ThreadPriority::TimeCritical:
            level = THREAD_PRIORITY_TIME_CRITICAL;
            break;
    }
    // std::thread runs on winpthreads here; its handle is the Win32 thread's.
    const HANDLE handle = pthread_gethandle(thread.native_handle());
    if (handle) SetThreadPriority(handle, level);  // best effort
}

}  // namespace platform
