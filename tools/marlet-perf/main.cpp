#include <iostream>

#include "tools/marlet-perf/PerfTool.h"

int main(int argc, char** argv)
{
    return PerfTool(std::cout, std::cerr).Run(std::vector<std::string>(argv + 1, argv + argc));
}
