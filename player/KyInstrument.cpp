#include "player/KyInstrument.h"

const char* KyInstrument::ChannelName(int channel)
{
    channelName_ = "Out" + std::to_string(channel);
    return channelName_.c_str();
}
