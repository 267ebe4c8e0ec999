// calvix-assets: draws the program's pictures and writes them into the given folder, the same
// bytes on every run: `calvix-assets assets/`. A tool of the program's developers.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "assets/Assets.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: calvix-assets FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  for (const assets::TAssetFile& file : assets::BuildAssets()) {
    const std::filesystem::path path = folder / file.path;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()), std::streamsize(file.bytes.size()));
    out.close();
    if (!out) {
      std::fprintf(stderr, "calvix-assets: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("calvix-assets: wrote %s (%zu bytes)\n", path.c_str(), file.bytes.size());
  }
  return 0;
}
