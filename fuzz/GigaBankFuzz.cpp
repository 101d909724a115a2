// Opens any input as a .gig bank and loads every program from it with a small memory budget,
// then lets everything go. A refused file or program is fine; a crash, a read or write outside
// a buffer, a hang or an exception escaping the bank is a finding.
#include <cstdint>
#include <vector>

#include "fuzz/FuzzFile.h"
#include "gig/GigaBank.h"
#include "prefs/SampleBudget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzfile::ScratchFile scratch;
    const std::string& path = scratch.Write(data, size, FastRiff::kMinFileSize);
    SampleBudget budget(16);
    {
        GigaBank bank(budget);
        if (!bank.Open(path)) return 0;
        std::vector<GigaProgram*> loaded;
        for (int i = 0; i < bank.ProgramCount(); ++i) {
            if (GigaProgram* program = bank.LoadProgram(i, nullptr)) loaded.push_back(program);
        }
        // A second load only takes another hold.
        if (!loaded.empty() && bank.LoadProgram(loaded.front()->index, nullptr) != loaded.front()) {
            __builtin_trap();
        }
        for (GigaProgram* program : loaded) {
            while (program->refCount > 0) program->Release();
        }
    }
    // Everything charged came back.
    if (budget.Total() != 0) __builtin_trap();
    return 0;
}
