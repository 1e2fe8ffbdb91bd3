// The packaging side of the payload: what the build appends to the
// installer. Everything it writes is read back with the installer's own
// reader before it is accepted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "payload.h"

struct PayloadSource {
  std::u16string path;  // relative to the target folder
  std::vector<std::uint8_t> data;
};

// The payload bytes for a header and its files in order. False with a reason
// when a field or path does not fit or would be refused by the installer,
// or when a packed entry does not decode to its source again.
bool BuildPayload(const PayloadHeader& header, const std::vector<PayloadSource>& files,
                  std::vector<std::uint8_t>* out, std::string* error);

// The end of a PE image: the end of its last section's raw data. 0 when the
// bytes are no PE image or a header lies outside them.
std::uint64_t PeImageEnd(const std::uint8_t* data, std::size_t size);

// The installer file: the program image padded with zeros to kPayloadOffset,
// the payload's digest trailer at the end of that padding, then the payload.
// False when the image's sections do not end where the file ends or the
// image reaches into the trailer.
bool AttachPayload(const std::vector<std::uint8_t>& image, const std::vector<std::uint8_t>& payload,
                   std::vector<std::uint8_t>* out, std::string* error);
