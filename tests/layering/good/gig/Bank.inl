#include "player/Rack.h"
#include "vst/Api.h"
#include "gui/Missing.h"
