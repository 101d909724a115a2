// An instrument-shaped plug-in: adds channel names.
#pragma once

#include <string>

#include "player/KyPlugin.h"

class KyInstrument : public KyPlugin {
public:
    const char* ChannelName(int channel) override;

private:
    std::string channelName_;
};
