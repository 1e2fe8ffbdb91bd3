// Reads and unpacks a whole installer payload as the installer does (every
// entry checked and decoded in memory), best of five runs, and times the
// payload's digest, which the installer computes before that, apart.
//
//   unpack_bench PAYLOAD LZMA_DIR
// Also writes each entry as a ".lzma" file (properties, the known size, the
// same stream) into LZMA_DIR, so that bench/installer/run.sh can set the
// same decoding by xz against it.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "payload.h"
#include "utf16_field.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::vector<std::uint8_t> bytes;
  if (std::FILE* f = std::fopen(argv[1], "rb")) {
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  Payload payload;
  std::string error;
  auto best_of_five = [](auto work) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
      auto start = std::chrono::steady_clock::now();
      work();
      double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      if (ms < best) best = ms;
    }
    return best;
  };
  bool read = true;
  const double best = best_of_five([&] { read = read && ReadPayload(bytes.data(), bytes.size(), &payload, &error); });
  if (!read) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::uint8_t trailer[kPayloadTrailerSize];
  const double digest = best_of_five([&] { EncodePayloadTrailer(bytes.data(), bytes.size(), trailer); });
  std::size_t pos = kPayloadHeaderSize, unpacked = 0;
  for (std::size_t i = 0; i < payload.files.size(); ++i) {
    const PayloadEntryHeader& e = payload.files[i].header;
    pos += kPayloadEntryHeaderSize;
    std::uint8_t size[8] = {};
    WriteU32(size, e.UnpackedSize);
    std::string name = std::string(argv[2]) + "/" + std::to_string(i) + ".lzma";
    std::FILE* out = std::fopen(name.c_str(), "wb");
    if (!out) return 1;
    std::fwrite(&bytes[pos], 1, 5, out);
    std::fwrite(size, 1, 8, out);
    std::fwrite(&bytes[pos + 5], 1, e.PackedSize - 5, out);
    std::fclose(out);
    pos += e.PackedSize;
    unpacked += e.UnpackedSize;
  }
  std::printf("%zu files, %zu bytes unpacked, %.2f ms\n", payload.files.size(), unpacked, best);
  std::printf("MD5 of %zu payload bytes, %.2f ms\n", bytes.size(), digest);
  return 0;
}
