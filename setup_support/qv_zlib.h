// Whole-file compression and the inflating of gzip or zlib buffers over the
// zlib linked into the program. No zlib library file is ever loaded: one
// beside an elevated setup program could only have been put there by
// someone else. Operations work between InitZlib and UninitZlib. Results
// are HRESULTs; nothing throws.
#pragma once

#include <windows.h>

class CQvZlib {
 public:
  CQvZlib();
  ~CQvZlib();
  CQvZlib(const CQvZlib&) = delete;
  CQvZlib& operator=(const CQvZlib&) = delete;

  static CQvZlib& Instance();

  HRESULT InitZlib();
  void UninitZlib();
  bool IsBound();

  HRESULT DecodeFile(LPCWSTR source, LPCWSTR destination, DWORD size_hint);
  HRESULT EncodeFile(LPCWSTR source, LPCWSTR destination, int level);
  // On success *out is a block for free() and *out_length its size.
  HRESULT DecodeGZipBuffer(const BYTE* data, DWORD length, BYTE** out, DWORD* out_length);

  // zlib result: 0, Z_DATA_ERROR (-3) with *out null and *out_length 0, or
  // the error of inflateInit2_. Every member of a gzip stream is read.
  // Nothing partial is ever returned.
  static int InflateBuffer(BYTE** out, DWORD* out_length, const BYTE* data, DWORD length);
};
