#include "editor/UProgramList.h"

#include "gig/GigaBank.h"

void UProgramList::Request(std::string path)
{
    waiting_ = std::move(path);
    if (!reading_.Pending()) StartWaiting();
}

void UProgramList::StartWaiting()
{
    if (waiting_.empty()) return;
    std::string path = std::move(waiting_);
    waiting_.clear();
    if (reading_.Start([path] { return Read(path); })) return;
    refused_ = true;
    refusedPath_ = std::move(path);
}

bool UProgramList::Take(Result& out)
{
    Result finished;
    if (refused_) {
        refused_ = false;
        finished.path = std::move(refusedPath_);
    } else if (reading_.Done()) {
        finished = reading_.Take();
    } else {
        return false;
    }
    if (!waiting_.empty()) {
        // A newer file was asked for meanwhile: this answer is stale.
        StartWaiting();
        return false;
    }
    out = std::move(finished);
    return true;
}

UProgramList::Result UProgramList::Read(const std::string& path)
{
    Result result;
    result.path = path;
    GigaBank bank;
    if (bank.Open(path)) {
        result.opened = true;
        result.names.reserve(static_cast<std::size_t>(bank.ProgramCount()));
        for (int i = 0; i < bank.ProgramCount(); ++i) {
            const GigaProgram* program = bank.Program(i);
            result.names.push_back(program ? program->name : std::string());
        }
    }
    return result;
}
