#pragma once
// A relative include is checked as the file it names: player/B.h.
#include "../../player/B.h"
