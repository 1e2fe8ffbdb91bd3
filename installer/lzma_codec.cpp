#include "lzma_codec.h"

#include <cstdlib>

#include "LzmaDec.h"
#include "LzmaEnc.h"

namespace {

void* SzAlloc(void*, size_t size) { return std::malloc(size); }
void SzFree(void*, void* address) { std::free(address); }
ISzAlloc g_alloc = {SzAlloc, SzFree};

}  // namespace

int LzmaUncompress(std::uint8_t* dest, std::size_t* dest_len, const std::uint8_t* src,
                   std::size_t* src_len, const std::uint8_t* props, std::size_t props_size) {
  SizeT out_len = *dest_len, in_len = *src_len;
  ELzmaStatus status;
  SRes res = LzmaDecode(dest, &out_len, src, &in_len, props, static_cast<unsigned>(props_size),
                        LZMA_FINISH_ANY, &status, &g_alloc);
  *dest_len = out_len;
  *src_len = in_len;
  if (res == SZ_OK && status == LZMA_STATUS_NEEDS_MORE_INPUT) return SZ_ERROR_INPUT_EOF;
  return res;
}

bool LzmaDecodeExact(const std::uint8_t* props_and_stream, std::size_t packed_size,
                     std::uint8_t* out, std::size_t size) {
  if (packed_size < kLzmaPropsSize) return false;
  std::size_t out_len = size, in_len = packed_size - kLzmaPropsSize;
  int res = LzmaUncompress(out, &out_len, props_and_stream + kLzmaPropsSize, &in_len,
                           props_and_stream, kLzmaPropsSize);
  return res == SZ_OK && out_len == size && in_len == packed_size - kLzmaPropsSize;
}

bool LzmaPack(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* packed) {
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = 9;
  props.dictSize = 1u << 24;
  props.lc = 3;
  props.lp = 0;
  props.pb = 2;
  props.fb = 273;
  props.numThreads = 1;
  props.writeEndMark = 0;
  // Incompressible data grows a little; the SDK's own bound.
  SizeT room = size + size / 3 + 128;
  packed->assign(kLzmaPropsSize + room, 0);
  SizeT props_size = kLzmaPropsSize;
  SRes res = LzmaEncode(packed->data() + kLzmaPropsSize, &room, data, size, &props,
                        packed->data(), &props_size, 0, nullptr, &g_alloc, &g_alloc);
  if (res != SZ_OK || props_size != kLzmaPropsSize) return false;
  packed->resize(kLzmaPropsSize + room);
  return true;
}
