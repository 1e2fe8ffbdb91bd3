// The library's HTTP client over WinINet: GET or a form POST into a buffer
// the caller owns, an optional proxy from "proxy.dat" beside the program,
// bounded connection attempts, a stop flag and gzip/deflate bodies inflated
// on the spot. Every failure of a GET or POST writes one log line and gives 0.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>

#include "qv_net_text.h"

class CQvNet {
 public:
  // Set-up of an object of the caller's; the destructor stops it. Only the
  // singleton releases zlib, at exit: others in the process still use it.
  CQvNet();
  ~CQvNet();
  CQvNet(const CQvNet&) = delete;
  CQvNet& operator=(const CQvNet& other);

  static CQvNet& Instance();

  void LoadProxyConfig();
  // The same from a named file; the program's own file lives beside it.
  void LoadProxyConfigFrom(LPCWSTR path);
  const tagQvProxyConfig& ProxyConfig() const { return proxy_; }

  // 1 when the request was sent, answered with a 2xx status and the body
  // read (a NUL always follows it in buffer), 0 on failure (buffer empty).
  int GetUrlInfo(LPCWSTR url, char* buffer, DWORD size);
  int Post(LPCWSTR url, const char* body, char* buffer, DWORD size);
  int isConnected(LPCWSTR url);
  static int isGzip(HINTERNET request);
  void Stop() { stop_.store(1); }

  // Tests shorten the pause between connection attempts.
  void SetRetry(int attempts, DWORD pause_ms) {
    attempts_ = attempts;
    pause_ms_ = pause_ms;
  }

 private:
  explicit CQvNet(bool owns_zlib);
  int Request(bool post, LPCWSTR url, const char* body, char* buffer, DWORD size);
  HINTERNET OpenInternet() const;

  tagQvProxyConfig proxy_;
  bool owns_zlib_ = false;
  std::atomic<unsigned char> stop_{0};
  int attempts_ = 3;
  DWORD pause_ms_ = 1000;
};

int isConnected(LPCWSTR url);
int GetUrlInfo(LPCWSTR url, char* buffer, DWORD size);
