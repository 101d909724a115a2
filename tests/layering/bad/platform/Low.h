#pragma once
// Bottom floor reaching up to the engine: the layering check must refuse this.
#include <cstdint>
#include "engine/High.h"
