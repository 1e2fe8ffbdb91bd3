#include "qv_net.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "qv_log.h"
#include "qv_zlib.h"

namespace {

// Owns one internet, connection or request handle so that every way out of
// a request closes what was opened, innermost first.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle = nullptr) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  void Reset(HINTERNET handle) {
    if (handle_) InternetCloseHandle(handle_);
    handle_ = handle;
  }
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

void LogFailure(const wchar_t* step) {
  std::wstring text = std::wstring(L"网络连接异常: ") + step;
  CQvLog::Instance().WriteLog(text.c_str());
}

std::wstring ProgramFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      std::wstring folder(path.data(), n);
      folder.erase(folder.find_last_of(L'\\') + 1);
      return folder;
    }
    path.resize(path.size() * 2);
  }
}

// The proxy's user name and password, answered when it asks (407).
void SetProxyLogin(HINTERNET connection, const tagQvProxyConfig& proxy) {
  if (!proxy.use_proxy) return;
  InternetSetOptionW(connection, INTERNET_OPTION_PROXY_USERNAME, const_cast<wchar_t*>(proxy.user.c_str()),
                     static_cast<DWORD>(proxy.user.size()));
  InternetSetOptionW(connection, INTERNET_OPTION_PROXY_PASSWORD,
                     const_cast<wchar_t*>(proxy.password.c_str()),
                     static_cast<DWORD>(proxy.password.size()));
}

}  // namespace

CQvNet::CQvNet() : CQvNet(false) {}

CQvNet::CQvNet(bool owns_zlib) : owns_zlib_(owns_zlib) {
  LoadProxyConfig();
  CQvZlib::Instance().InitZlib();
}

CQvNet::~CQvNet() {
  Stop();
  if (owns_zlib_) CQvZlib::Instance().UninitZlib();
}

CQvNet& CQvNet::operator=(const CQvNet& other) {
  if (this != &other) {
    proxy_ = other.proxy_;
    stop_.store(other.stop_.load());
    attempts_ = other.attempts_;
    pause_ms_ = other.pause_ms_;
  }
  return *this;
}

CQvNet& CQvNet::Instance() {
  static CQvNet instance(true);
  return instance;
}

void CQvNet::LoadProxyConfig() {
  std::wstring path = ProgramFolder() + L"proxy.dat";
  LoadProxyConfigFrom(path.c_str());
}

void CQvNet::LoadProxyConfigFrom(LPCWSTR path) {
  unsigned char block[kQvProxyFileBytes] = {};
  DWORD got = 0;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    // A short read keeps what arrived; the rest of the block stays zero.
    DWORD n = 0;
    while (got < sizeof block &&
           ReadFile(file, block + got, static_cast<DWORD>(sizeof block - got), &n, nullptr) && n)
      got += n;
    CloseHandle(file);
  }
  proxy_ = QvParseProxyConfig(block, got);
}

HINTERNET CQvNet::OpenInternet() const {
  DWORD flags = 0;
  InternetGetConnectedState(&flags, 0);
  wchar_t agent[32];
  _snwprintf(agent, std::size(agent), L"Agent%ld", static_cast<long>(GetTickCount()));
  agent[std::size(agent) - 1] = L'\0';
  if (proxy_.use_proxy) {
    std::wstring proxy = QvProxyText(proxy_);
    return InternetOpenW(agent, INTERNET_OPEN_TYPE_PROXY, proxy.c_str(), nullptr, 0);
  }
  DWORD access = (flags & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                     : INTERNET_OPEN_TYPE_DIRECT;
  return InternetOpenW(agent, access, nullptr, nullptr, 0);
}

int CQvNet::isGzip(HINTERNET request) {
  wchar_t encoding[256] = {};
  DWORD length = sizeof encoding;
  DWORD index = 0;
  if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_ENCODING, encoding, &length, &index)) return 0;
  DWORD units = length / sizeof(wchar_t);
  if (units >= std::size(encoding)) return 0;
  return QvIsCompressedEncoding(std::wstring(encoding, units)) ? 1 : 0;
}

int CQvNet::isConnected(LPCWSTR url) {
  if (!url) return 0;
  InternetHandle internet(OpenInternet());
  if (!internet) return 0;
  std::wstring host, path;
  QvSplitUrlForGet(url, &host, &path);
  InternetHandle connection(InternetConnectW(internet.get(), host.c_str(),
                                             INTERNET_DEFAULT_HTTP_PORT, nullptr, nullptr,
                                             INTERNET_SERVICE_HTTP, INTERNET_FLAG_NO_UI, 0));
  if (!connection) return 0;
  SetProxyLogin(connection.get(), proxy_);
  LPCWSTR accept[] = {L"*/*", nullptr};
  InternetHandle request(HttpOpenRequestW(connection.get(), L"GET", path.c_str(), L"HTTP/1.1",
                                          nullptr, accept,
                                          INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI, 0));
  if (!request) return 0;
  return HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0) ? 1 : 0;
}

int CQvNet::GetUrlInfo(LPCWSTR url, char* buffer, DWORD size) {
  return Request(false, url, nullptr, buffer, size);
}

int CQvNet::Post(LPCWSTR url, const char* body, char* buffer, DWORD size) {
  return Request(true, url, body ? body : "", buffer, size);
}

int CQvNet::Request(bool post, LPCWSTR url, const char* body, char* buffer, DWORD size) {
  // Nothing to read into: refused before any handle is opened.
  std::size_t step = QvReadStep(buffer ? size : 0);
  if (!url || step == 0) {
    if (buffer && size) buffer[0] = '\0';
    return 0;
  }

  InternetHandle internet(OpenInternet());
  if (!internet) {
    LogFailure(L"InternetOpen");
    return 0;
  }
  DWORD timeout = 3000;
  InternetSetOptionW(internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);

  std::wstring host, path;
  if (post)
    QvSplitUrlForPost(url, &host, &path);
  else
    QvSplitUrlForGet(url, &host, &path);

  // A host too long for the header block is refused rather than named in a
  // cut header.
  std::wstring headers;
  if (!QvBuildRequestHeaders(host, post, &headers)) {
    LogFailure(L"HttpAddRequestHeaders");
    return 0;
  }

  InternetHandle connection;
  for (int attempt = 1; attempt <= attempts_; ++attempt) {
    connection.Reset(InternetConnectW(internet.get(), host.c_str(), INTERNET_DEFAULT_HTTP_PORT,
                                      nullptr, nullptr, INTERNET_SERVICE_HTTP,
                                      INTERNET_FLAG_NO_UI, 0));
    if (connection) break;
    if (attempt < attempts_) Sleep(pause_ms_);
  }
  if (!connection) {
    LogFailure(L"InternetConnect");
    return 0;
  }
  SetProxyLogin(connection.get(), proxy_);

  LPCWSTR accept[] = {L"*/*", nullptr};
  InternetHandle request(HttpOpenRequestW(connection.get(), post ? L"POST" : L"GET", path.c_str(),
                                          L"HTTP/1.1", nullptr, accept,
                                          INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI, 0));
  if (!request) {
    LogFailure(L"HttpOpenRequest");
    return 0;
  }
  HttpAddRequestHeadersW(request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                         HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);

  // A send that fails (refused, unreachable) would otherwise read as an
  // empty body and be taken for success.
  DWORD body_length = post ? static_cast<DWORD>(std::strlen(body)) : 0;
  BOOL sent = HttpSendRequestW(request.get(), nullptr, 0,
                               post ? const_cast<char*>(body) : nullptr, body_length);
  std::memset(buffer, 0, size);
  if (!sent) {
    LogFailure(L"HttpSendRequest");
    return 0;
  }
  // An error page (4xx, 5xx) is not the answer asked for.
  DWORD status = 0;
  DWORD status_size = sizeof status;
  if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                      &status_size, nullptr) ||
      status < 200 || status > 299) {
    LogFailure(L"HttpQueryInfo");
    return 0;
  }
  bool compressed = isGzip(request.get()) == 1;

  DWORD total = 0;
  while (!stop_.load() && total + step < size) {
    DWORD got = 0;
    if (!InternetReadFile(request.get(), buffer + total, static_cast<DWORD>(step), &got)) {
      LogFailure(L"InternetReadFile");
      return 0;
    }
    if (got == 0) break;
    total += got;
  }
  buffer[total] = '\0';

  if (QvBodyNeedsInflate(compressed, reinterpret_cast<unsigned char*>(buffer), total)) {
    BYTE* inflated = nullptr;
    DWORD inflated_length = 0;
    CQvZlib& zlib = CQvZlib::Instance();
    bool ok = zlib.IsBound() &&
              SUCCEEDED(zlib.DecodeGZipBuffer(reinterpret_cast<BYTE*>(buffer), total, &inflated,
                                              &inflated_length)) &&
              inflated;
    if (ok) {
      DWORD keep = inflated_length < size - 1 ? inflated_length : size - 1;
      std::memcpy(buffer, inflated, keep);
      buffer[keep] = '\0';
    } else {
      buffer[0] = '\0';
    }
    std::free(inflated);
  }
  return 1;
}

int isConnected(LPCWSTR url) { return CQvNet::Instance().isConnected(url); }

int GetUrlInfo(LPCWSTR url, char* buffer, DWORD size) {
  return CQvNet::Instance().GetUrlInfo(url, buffer, size);
}
