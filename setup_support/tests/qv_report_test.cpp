// Reports sent by a helper process from a folder of its own, whose proxy.dat
// leads them to a listener in this program.
#include "qv_test_server.h"

#include "qv_report.h"
#include "qv_test_process.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kKey[] = L"SOFTWARE\\Vudozuvo";

std::string StoredUid() {
  wchar_t text[64] = {};
  DWORD bytes = sizeof text - sizeof(wchar_t);
  RegGetValueW(HKEY_CURRENT_USER, kKey, L"UID", RRF_RT_REG_SZ, nullptr, text, &bytes);
  return std::string(text, text + wcslen(text));
}

class QvReport : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchFolder(L"report");
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"qv_report_helper.exe").c_str(),
                          (dir_ + L"helper.exe").c_str(), FALSE));
    for (int i = 0; i < 4; ++i) server_.Answer(Response("200 OK", "ok"));
    WriteProxyFile(dir_ + L"proxy.dat", server_.port());
  }
  void TearDown() override {
    DeleteFileW((dir_ + L"helper.exe").c_str());
    DeleteFileW((dir_ + L"proxy.dat").c_str());
    RemoveDirectoryW(dir_.c_str());
  }
  DWORD Run(const std::wstring& args) { return RunAndWait(dir_ + L"helper.exe", args); }

  // The i-th query after the endpoint, up to its sign, which must be a
  // decimal number.
  std::string Query(std::size_t i) {
    std::vector<std::string> requests = server_.Requests();
    if (i >= requests.size()) return "<none>";
    std::string line = RequestLine(requests[i]);
    std::wstring endpoint = QvStatisticsEndpoint();
    std::string prefix = "GET " + std::string(endpoint.begin(), endpoint.end()) + "?";
    std::size_t sign = line.find("&sign=");
    std::size_t end = line.rfind(' ');
    if (line.compare(0, prefix.size(), prefix) != 0 || sign == std::string::npos ||
        end < sign + 7 ||
        line.substr(sign + 6, end - sign - 6).find_first_not_of("-0123456789") != std::string::npos)
      return "<malformed> " + line;
    return line.substr(prefix.size(), sign - prefix.size());
  }

  TestServer server_;
  std::wstring dir_;
};

TEST_F(QvReport, SendsTheQueryWithTheIdKeptForTheUser) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"UID");
  ASSERT_EQ(0u, Run(L"send open"));
  const std::string uid = StoredUid();
  EXPECT_EQ(20u, uid.size());
  EXPECT_EQ("type=open&value=&uuid=" + uid, Query(0));
  ASSERT_EQ(0u, Run(L"send install \"a b&c=\x4e2d%\""));
  EXPECT_EQ("type=install&value=a%20b%26c%3d%e4%b8%ad%&uuid=" + uid, Query(1));
  // Nothing for a type of 30 characters.
  ASSERT_EQ(0u, Run(L"send " + std::wstring(30, L't') + L" v"));
  EXPECT_EQ("<none>", Query(2));

  // A stored id of another shape is replaced, and the new one is sent.
  const wchar_t longer[] = L"QV1234567890123456789";
  RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"UID", REG_SZ, longer, sizeof longer);
  ASSERT_EQ(0u, Run(L"send uninstall x"));
  EXPECT_NE(uid, StoredUid());
  EXPECT_EQ("type=uninstall&value=x&uuid=" + StoredUid(), Query(2));
}

TEST_F(QvReport, ProcessEndingWhileAReportWaitsExitsCleanly) {
  // A listener that takes the connection and never answers.
  int port = 0;
  SOCKET silent = BindLoopback(&port);
  listen(silent, 4);
  WriteProxyFile(dir_ + L"proxy.dat", port);
  // Ended from main and through CQvApp::Exit; 4 would mean the report
  // outlived the services it uses.
  for (const std::string mode : {"leave", "exit"}) {
    SCOPED_TRACE(mode);
    const DWORD start = GetTickCount();
    EXPECT_EQ(0u, Run(std::wstring(mode.begin(), mode.end()) + L" open"));
    EXPECT_LT(GetTickCount() - start, 20000u);
  }
  closesocket(silent);
  WSACleanup();
}

}  // namespace
