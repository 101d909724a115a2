// The instrument menu of a tone view and of each layer row: "Load Instrument", "Unload
// Instrument", then one submenu per open bank listing its programs. It keeps the banks it
// listed, so that a choice names a path and a program index.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gig/GigaBankListing.h"

class XMenu;

class GigaInstrumentMenu {
public:
    enum class Choice { kNone, kLoadFile, kUnload, kProgram };
    struct Result {
        Choice choice = Choice::kNone;
        std::string path;
        int program = -1;
    };

    // The menu over these banks (the bank manager's listing).
    std::unique_ptr<XMenu> Build(std::vector<GigaBankListing> banks);
    // What a reply's command chose. A program counts only while its bank is still open
    // (`open`: the listing now); otherwise nothing was chosen.
    Result Resolve(std::int32_t command, const std::vector<GigaBankListing>& open) const;

private:
    std::vector<GigaBankListing> banks_;
    std::int32_t load_ = 0;
    std::int32_t unload_ = 0;
    std::vector<std::int32_t> submenuIds_;  // per listed bank
};
