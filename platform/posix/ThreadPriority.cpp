#include "platform/ThreadPriority.h"

#include <pthread.h>
#include <sched.h>

namespace platform {

// Real-time priorities need rights that a normal user rarely has; the nice-based fallback is
// not worth the surprise, so a refused request simply keeps the default scheduling.
void ApplyPriority(std::thread& thread, ThreadPriority priority)
{
    int policy = SCHED_OTHER;
    sched_param param {};
    switch (priority) {
        case ThreadPriority::Highest:
        case ThreadPriority::TimeCritical:
        case ThreadPriority::AboveNormal: {
            policy = SCHED_RR;
            int low = sched_get_priority_min(SCHED_RR);
            int high = sched_get_priority_max(SCHED_RR);
            int step = priority == ThreadPriority::AboveNormal ? 1
                       : priority == ThreadPriority::Highest   ? (high - low) / 2
                                                               : high - low - 1;
            param.sched_priority = low + step;
            break;
        }
        default:
            return;
    }
    pthread_setschedparam(thread.native_handle(), policy, &param);  // best effort
}

}  // namespace platform
