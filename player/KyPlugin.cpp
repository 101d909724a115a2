#include "player/KyPlugin.h"

#include <cstdio>

KyPlugin::KyPlugin() = default;
KyPlugin::~KyPlugin() = default;

const char* KyPlugin::OutputBusName(int bus)
{
    // The format is one of our own constants; it takes exactly two integers.
    char text[64];
    std::snprintf(text, sizeof text, busNameFormat_.c_str(), 2 * bus + 1, 2 * bus + 2);
    busName_ = text;
    return busName_.c_str();
}
