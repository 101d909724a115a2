#include "editor/UProgramList.h"

#include <chrono>
#include <thread>

#include "gig/GigaBank.h"
#include "platform/FourCC.h"

UProgramList::~UProgramList()
{
    Join();
}

void UProgramList::Request(std::string path)
{
    waiting_ = std::move(path);
    if (!reading_) StartWaiting();
}

void UProgramList::StartWaiting()
{
    if (waiting_.empty()) return;
    result_ = Result {};
    result_.path = std::move(waiting_);
    waiting_.clear();
    done_.store(false, std::memory_order_relaxed);
    // The thread sees result_.path: creating it orders everything written before.
    reading_ = Start(FourCC("prog"), kPriorityNormal);
    if (!reading_) done_.store(true, std::memory_order_relaxed);  // answered as a failed open
}

bool UProgramList::Take(Result& out)
{
    if (!done_.load(std::memory_order_acquire)) return false;
    reading_ = false;
    done_.store(false, std::memory_order_relaxed);
    Result finished = std::move(result_);
    if (!waiting_.empty()) {
        // A newer file was asked for meanwhile: this answer is stale.
        StartWaiting();
        return false;
    }
    out = std::move(finished);
    return true;
}

bool UProgramList::WaitFor(int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done_.load(std::memory_order_acquire)) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void UProgramList::Run()
{
    GigaBank bank;
    if (bank.Open(result_.path)) {
        result_.opened = true;
        result_.names.reserve(static_cast<std::size_t>(bank.ProgramCount()));
        for (int i = 0; i < bank.ProgramCount(); ++i) {
            const GigaProgram* program = bank.Program(i);
            result_.names.push_back(program ? program->name : std::string());
        }
    }
    done_.store(true, std::memory_order_release);
}
