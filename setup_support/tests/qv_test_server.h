// A plain HTTP server thread on 127.0.0.1 for the tests of the HTTP client
// and of what sends through it, and the proxy file that leads the client to
// it: the client always asks for port 80, which may be taken here.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "qv_net_text.h"

// A socket bound to a free port of 127.0.0.1 (winsock started; the caller
// ends it with WSACleanup after closing the socket).
inline SOCKET BindLoopback(int* port) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  int length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return s;
}

class TestServer {
 public:
  TestServer() {
    listener_ = BindLoopback(&port_);
    listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~TestServer() {
    closesocket(listener_);
    thread_.join();
    WSACleanup();
  }

  int port() const { return port_; }
  void Answer(const std::string& response) {
    std::lock_guard<std::mutex> lock(mutex_);
    responses_.push_back(response);
  }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  void Serve() {
    for (;;) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      DWORD timeout = 5000;
      setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                 sizeof timeout);
      std::string request = ReadRequest(client);
      std::string response;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        if (!responses_.empty()) {
          response = responses_.front();
          responses_.pop_front();
        }
      }
      send(client, response.data(), static_cast<int>(response.size()), 0);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }

  static std::string ReadRequest(SOCKET client) {
    std::string data;
    char chunk[4096];
    std::size_t header_end = std::string::npos;
    std::size_t want = 0;
    for (;;) {
      if (header_end == std::string::npos) {
        header_end = data.find("\r\n\r\n");
        if (header_end != std::string::npos) {
          std::size_t at = data.find("Content-Length:");
          if (at != std::string::npos && at < header_end) want = std::strtoul(data.c_str() + at + 15, nullptr, 10);
        }
      }
      if (header_end != std::string::npos && data.size() >= header_end + 4 + want) return data;
      int n = recv(client, chunk, sizeof chunk, 0);
      if (n <= 0) return data;
      data.append(chunk, n);
    }
  }

  SOCKET listener_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::deque<std::string> responses_;
  std::vector<std::string> requests_;
};

inline std::string Response(const std::string& status, const std::string& body,
                     const std::string& extra_headers = "") {
  return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n" + extra_headers + "\r\n" + body;
}

// Value of a request header, spaces after the colon dropped.
inline std::string Header(const std::string& request, const std::string& name) {
  std::size_t at = request.find("\r\n" + name + ":");
  if (at == std::string::npos) return "<missing>";
  at += name.size() + 3;
  while (at < request.size() && request[at] == ' ') ++at;
  return request.substr(at, request.find("\r\n", at) - at);
}

// The port 80 the client always asks for may or may not be written out in
// the absolute target sent to a proxy; both forms name the same resource.
inline std::string RequestLine(const std::string& request) {
  std::string line = request.substr(0, request.find("\r\n"));
  std::size_t port = line.find(":80/");
  if (port != std::string::npos) line.erase(port, 3);
  return line;
}

inline std::string Body(const std::string& request) {
  std::size_t at = request.find("\r\n\r\n");
  return at == std::string::npos ? "" : request.substr(at + 4);
}

inline std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

inline void WriteProxyFile(const std::wstring& path, int port, const std::wstring& user = L"",
                    const std::wstring& password = L"") {
  std::vector<unsigned char> block(kQvProxyFileBytes, 0);
  block[0] = 1;
  auto put = [&block](std::size_t offset, const std::wstring& text) {
    std::memcpy(block.data() + offset, text.data(), text.size() * sizeof(wchar_t));
  };
  put(4, L"127.0.0.1");
  put(204, std::to_wstring(port));
  put(228, user);
  put(328, password);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  CloseHandle(file);
}
