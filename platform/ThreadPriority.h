// The OS half of platform::Thread: one implementation per OS.
#pragma once

#include <thread>

#include "platform/Thread.h"

namespace platform {

// Asks the OS to run the thread at `priority`; a refusal leaves it at normal priority.
void ApplyPriority(std::thread& thread, ThreadPriority priority);

}  // namespace platform
