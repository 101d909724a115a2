#pragma once
#include <platform/os/Thread.hpp>
#include "player/Queue.h"
// #include "engine/Voice.h" is only a comment.
