#include "editor/GigaInstrumentMenu.h"

#include <algorithm>

#include "gui/XMenu.h"
#include "gui/XMenuHost.h"

std::unique_ptr<XMenu> GigaInstrumentMenu::Build(std::vector<GigaBankListing> banks)
{
    banks_ = std::move(banks);
    submenuIds_.clear();
    auto menu = std::make_unique<XMenu>();
    load_ = menu->AddItem("Load Instrument");
    unload_ = menu->AddItem("Unload Instrument");
    menu->AddSeparator();
    for (const GigaBankListing& bank : banks_) {
        XMenu* sub = menu->AddSubmenu(bank.name);
        submenuIds_.push_back(sub ? sub->Id() : -1);
        if (!sub) continue;
        for (const std::string& program : bank.programs) sub->AddItem(program);
    }
    return menu;
}

GigaInstrumentMenu::Result GigaInstrumentMenu::Resolve(
    std::int32_t command, const std::vector<GigaBankListing>& open) const
{
    Result result;
    if (command <= 0) return result;
    if (command == load_) {
        result.choice = Choice::kLoadFile;
        return result;
    }
    if (command == unload_) {
        result.choice = Choice::kUnload;
        return result;
    }
    const auto at = std::find(submenuIds_.begin(), submenuIds_.end(), MenuIdOf(command));
    if (at == submenuIds_.end()) return result;
    const GigaBankListing& bank = banks_[static_cast<std::size_t>(at - submenuIds_.begin())];
    const int program = MenuIndexOf(command);
    const bool stillOpen = std::any_of(open.begin(), open.end(), [&](const GigaBankListing& b) {
        return b.path == bank.path && program < static_cast<int>(b.programs.size());
    });
    if (!stillOpen || program < 0) return result;
    result.choice = Choice::kProgram;
    result.path = bank.path;
    result.program = program;
    return result;
}
