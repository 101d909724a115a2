#pragma once
// Including platform is legal; with platform/Low.h it closes the cycle engine -> platform.
#include "platform/Low.h"
// Product code never includes the tests.
#include "tests/support/Helper.h"
