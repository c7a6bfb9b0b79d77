// Writes the sample pictures the tests make (tests/support/sample_pictures.h) into a folder, as the seeds
// of vips_fuzz.  Usage: make_vips_seeds FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "support/sample_pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_vips_seeds FOLDER\n");
    return 2;
  }
  for (const mozenta::testing::SamplePicture& sample : mozenta::testing::SamplePictures()) {
    const std::vector<std::uint8_t> bytes = mozenta::testing::MakeSampleFile(sample);
    std::ofstream(std::string(argv[1]) + "/" + sample.name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  const std::vector<std::uint8_t> bomb = mozenta::testing::PngClaiming(60000, 60000);
  std::ofstream(std::string(argv[1]) + "/bomb.png", std::ios::binary)
      .write(reinterpret_cast<const char*>(bomb.data()), static_cast<std::streamsize>(bomb.size()));
  return 0;
}
