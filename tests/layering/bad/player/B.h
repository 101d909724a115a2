#pragma once
#include <vst/A.h>
