// The list of the program's pictures and how each is made, shared by the calvix-assets tool,
// which writes them, and the tests, which compare them with the files kept in the repository.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

struct TAssetFile {
  std::string path;  // relative to the assets folder, with '/' separators
  std::vector<uint8_t> bytes;
};

// Every picture, drawn afresh; the same bytes on every run.
std::vector<TAssetFile> BuildAssets();

}  // namespace assets
