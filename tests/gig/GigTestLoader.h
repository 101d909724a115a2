// Reads a whole .gig (and its extension files) into the model through FastRiff and the model's
// chunk decoders, the way the bank does, so writer and cross-check tests can look at the result.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gig/GigaFile.h"
#include "gig/GigaProgram.h"
#include "gig/GigaSample.h"

struct LoadedGig {
    int version = 1;
    std::vector<std::unique_ptr<GigaFile>> files;
    std::vector<GigaSample> samples;  // sized once; never resized (zones point into it)
    std::vector<std::unique_ptr<GigaProgram>> programs;

    // Destroys the programs (unlinking their zones) before the samples.
    ~LoadedGig() { programs.clear(); }
};

// False (with a log line through `log`) on anything the model refuses.
bool LoadGig(const std::string& path, LoadedGig& gig, const QelLog& log);
