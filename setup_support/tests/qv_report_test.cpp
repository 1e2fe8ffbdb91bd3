// Reports sent by a helper process from a folder of its own, whose proxy.dat
// leads them to a listener in this program; the installation id kept in the
// registry of the current user.
#include "qv_test_server.h"

#include "qv_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kKey[] = L"SOFTWARE\\Vudozuvo";

std::wstring StoredUid() {
  wchar_t text[64] = {};
  DWORD bytes = sizeof text - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, kKey, L"UID", RRF_RT_REG_SZ, nullptr, text, &bytes) !=
      ERROR_SUCCESS)
    return L"<none>";
  return text;
}

void StoreUid(const wchar_t* text) {
  if (!text) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"UID");
    return;
  }
  RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"UID", REG_SZ, text,
                  static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class QvReport : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    dir_ = std::wstring(temp) + L"report" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(++serial_) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
    helper_ = dir_ + L"helper.exe";
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"qv_report_helper.exe").c_str(), helper_.c_str(), FALSE));
    for (int i = 0; i < 4; ++i) server_.Answer(Response("200 OK", "ok"));
    WriteProxyFile(dir_ + L"proxy.dat", server_.port());
  }
  void TearDown() override {
    DeleteFileW(helper_.c_str());
    DeleteFileW((dir_ + L"proxy.dat").c_str());
    RemoveDirectoryW(dir_.c_str());
  }

  DWORD Run(const std::wstring& args, DWORD* elapsed_ms = nullptr) {
    std::wstring line = L"\"" + helper_ + L"\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    DWORD start = GetTickCount();
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return 0xFFFFFFFF;
    CloseHandle(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
    if (elapsed_ms) *elapsed_ms = GetTickCount() - start;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return code;
  }

  // The query of each request the listener saw.
  std::vector<std::string> Queries() {
    std::vector<std::string> queries;
    for (const std::string& request : server_.Requests()) {
      std::string line = RequestLine(request);
      std::size_t from = line.find(' ') + 1;
      queries.push_back(line.substr(from, line.rfind(' ') - from));
    }
    return queries;
  }

  // The query up to "&sign=", checked for a decimal sign after it.
  static std::string Unsigned(const std::string& query) {
    std::size_t at = query.find("&sign=");
    if (at == std::string::npos) return "<no sign>";
    std::string sign = query.substr(at + 6);
    if (sign.empty() || sign.find_first_not_of("0123456789", sign[0] == '-' ? 1 : 0) != std::string::npos)
      return "<bad sign>";
    return query.substr(0, at);
  }

  std::string Endpoint() const { return Narrow(QvStatisticsEndpoint()); }

  static int serial_;
  TestServer server_;
  std::wstring dir_;
  std::wstring helper_;
};

int QvReport::serial_ = 0;

TEST_F(QvReport, SendsTheQueryWithTheIdKeptForTheUser) {
  StoreUid(nullptr);
  ASSERT_EQ(0u, Run(L"send open"));
  const std::wstring uid = StoredUid();
  ASSERT_TRUE(QvIsUid(uid.c_str())) << Narrow(uid);
  ASSERT_EQ(1u, Queries().size());
  EXPECT_EQ(Endpoint() + "?type=open&value=&uuid=" + Narrow(uid), Unsigned(Queries()[0]));

  // The same id again, with the value escaped as UTF-8 bytes.
  ASSERT_EQ(0u, Run(L"send install \"a b&c=\x4e2d%\""));
  ASSERT_EQ(2u, Queries().size());
  EXPECT_EQ(Endpoint() + "?type=install&value=a%20b%26c%3d%e4%b8%ad%&uuid=" + Narrow(uid),
            Unsigned(Queries()[1]));

  // A stored id of another shape is replaced, and the new one is sent.
  StoreUid(L"QV1234567890123456789");
  ASSERT_EQ(0u, Run(L"send uninstall x"));
  const std::wstring fresh = StoredUid();
  EXPECT_TRUE(QvIsUid(fresh.c_str())) << Narrow(fresh);
  ASSERT_EQ(3u, Queries().size());
  EXPECT_EQ(Endpoint() + "?type=uninstall&value=x&uuid=" + Narrow(fresh), Unsigned(Queries()[2]));
}

TEST_F(QvReport, TypeOfThirtyCharactersSendsNothing) {
  ASSERT_EQ(0u, Run(L"send " + std::wstring(30, L't') + L" v"));
  EXPECT_TRUE(Queries().empty());
  ASSERT_EQ(0u, Run(L"send " + std::wstring(29, L't') + L" v"));
  EXPECT_EQ(1u, Queries().size());
}

TEST_F(QvReport, ProcessEndingWhileAReportWaitsExitsAtOnceAndCleanly) {
  // A listener that takes the connection and never answers.
  int port = 0;
  SOCKET silent = BindLoopback(&port);
  listen(silent, 4);
  WriteProxyFile(dir_ + L"proxy.dat", port);
  DWORD elapsed = 0;
  EXPECT_EQ(0u, Run(L"leave open", &elapsed));
  EXPECT_LT(elapsed, 20000u);
  closesocket(silent);
  WSACleanup();
}

TEST(QvReportUid, FreshIdLeavesTheRegistryAlone) {
  StoreUid(L"QV000000010000200003");
  wchar_t out[kQvUidUnits];
  CreateUID(out, 0);
  EXPECT_TRUE(QvIsUid(out));
  EXPECT_NE(std::wstring(L"QV000000010000200003"), out);
  EXPECT_EQ(L"QV000000010000200003", StoredUid());
  CreateUID(out, 1);
  EXPECT_EQ(std::wstring(L"QV000000010000200003"), out);
  StoreUid(nullptr);
}

}  // namespace
