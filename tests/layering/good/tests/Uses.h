#pragma once
// Consumers are not checked: they include any folder.
#include "engine/Voice.h"
#include "fixtures/Writer.h"
