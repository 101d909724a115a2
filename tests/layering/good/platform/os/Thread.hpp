#pragma once
// A quoted include next to the including file is that file: platform/Base.h.
#include "../Base.h"
