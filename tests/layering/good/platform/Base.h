#pragma once
#include <cstdint>
#include "platform/os/Thread.hpp"
