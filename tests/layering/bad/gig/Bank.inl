// Product code never includes the tool-side fixtures.
#include "fixtures/Writer.hpp"
