// One node of a region's dimension tree. Siblings split the 0..127 range of their dimension's
// source; a node matches values up to and including its upper limit.
#pragma once

#include <cstdint>

class GigaZone;

struct DimensionNode {
    std::int32_t type = 0;
    std::int32_t upperLimit = 0;
    DimensionNode* children = nullptr;  // first node of the child group; null on the last level
    GigaZone* zone = nullptr;           // last level only
};
