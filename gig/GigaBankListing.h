// What the editor lists of one open bank: its name, its path and its programs' names. The
// loading thread publishes the list at the end of each pass; readers get copies.
#pragma once

#include <string>
#include <vector>

struct GigaBankListing {
    std::string name;
    std::string path;
    std::vector<std::string> programs;
};
