#pragma once
#  include "platform/Base.h"
