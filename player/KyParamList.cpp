#include "player/KyParamList.h"

bool KyParamList::Bind(int controller, float lower, float upper, float* target)
{
    if (controller < 0 || controller >= kControllers || !target) return false;
    owned_.push_back(std::make_unique<Binding>(Binding {lower, upper, target}));
    table_[static_cast<std::size_t>(controller)] = owned_.back().get();
    return true;
}

const KyParamList::Binding* KyParamList::Find(int controller) const
{
    if (controller < 0 || controller >= kControllers) return nullptr;
    return table_[static_cast<std::size_t>(controller)];
}

void KyParamList::ApplyController(int controller, int value) const
{
    if (const Binding* b = Find(controller))
        *b->target = b->lower + (b->upper - b->lower) * static_cast<float>(value) / 127.0f;
}
