// What the exported entry does: check the host, create the plug-in object, hand out its record.
#pragma once

#include "vst/VstAbi.h"

AEffect* CreatePluginEffect(audioMasterCallback host);
