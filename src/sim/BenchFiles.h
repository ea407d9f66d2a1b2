// The factor files and frequency lists that belong to the simulated bench, computed from its
// chain model, so that the files in examples/bench always describe the bench exactly.
#pragma once

#include <string>
#include <vector>

#include "shell/FileIo.h"

namespace brimtal::sim {

struct BenchFile {
  std::string name;                // file name, e.g. "coupler-fwd.fac"
  std::vector<std::string> lines;  // written with CR LF after each
};

std::vector<BenchFile> BenchFactorFiles();
std::vector<BenchFile> BenchFrequencyLists();

// Writes every factor file and list into the folder; on failure the error and the path.
bool WriteBenchFiles(const std::string& folder, FileError& error, std::string& failedPath);

}  // namespace brimtal::sim
