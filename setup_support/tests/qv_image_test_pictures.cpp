// Writes the test strip that the image tests carry as an IMG resource:
//   qv_image_test_pictures setup_support/tests/qv_image_test_strip.png
#include "qv_image_test_pictures.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  return qv_test::Strip().SavePng(argv[1]) ? 0 : 1;
}
