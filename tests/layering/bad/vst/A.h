#pragma once
// Siblings on one floor never include each other.
#include "player/B.h"
