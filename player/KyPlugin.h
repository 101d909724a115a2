// The plug-in level of a player: identity, output buses and their names, and the chunk buffer
// that carries the host's project state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/QelLog.h"

class KyPlugin : public QelLog {
public:
    KyPlugin();
    ~KyPlugin() override;

    virtual int OutputBusCount() const { return outputBuses_; }
    // "Out 1-2" style, from the bus-name format with 2*bus+1 and 2*bus+2.
    virtual const char* OutputBusName(int bus);
    virtual const char* ChannelName(int channel) { return nullptr; }
    virtual void SetChannelCount(int count) { channels_ = count; }
    virtual int ChannelCount() const { return channels_; }

    void SetOutputBusCount(int count) { outputBuses_ = count; }

    std::int32_t Identity() const { return identity_; }
    std::int32_t Maker() const { return maker_; }
    int Version() const { return version_; }
    const std::string& Name() const { return name_; }
    const std::string& Vendor() const { return vendor_; }
    const std::string& Product() const { return product_; }

    // The last state saved to memory; valid until the next save or the player's destruction.
    const std::vector<char>& Chunk() const { return chunk_; }

protected:
    std::int32_t identity_ = 0;
    std::int32_t maker_ = 0;
    int version_ = 0;
    std::string name_, vendor_, product_;
    int channels_ = 2;
    int outputBuses_ = 1;
    std::string busNameFormat_ = "Out %d-%d";
    std::vector<char> chunk_;

private:
    std::string busName_;
};
