// The installer window's own rules.
#include "main_dlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "qv_animate_steps.h"
#include "qv_messages.h"

// A close that ended the process would end this program through exit(0),
// a pass to anyone reading the exit code: an exit before the last test has
// ended is turned into a failing one.
class EarlyExitGuard : public testing::Environment {
 public:
  void SetUp() override {
    std::atexit([] {
      if (!ended) std::_Exit(3);
    });
  }
  void TearDown() override { ended = true; }

 private:
  static inline std::atomic<bool> ended{false};
};
testing::Environment* const early_exit_guard = testing::AddGlobalTestEnvironment(new EarlyExitGuard);

TEST(InstallerWindow, CloseWaitsForTheInstallationAndProgressIsStored) {
  CMainDlg dialog;
  ASSERT_TRUE(dialog.Create(nullptr, CMainDlg::kWidth, CMainDlg::kHeight, true));
  dialog.Installing = true;
  SendMessageW(dialog.hwnd, WM_CLOSE, 0, 0);  // ignored: still installing
  SendMessageW(dialog.hwnd, WM_SETUP_PROGRESS, 40, 0);
  EXPECT_EQ(dialog.ReportedPercent, 40);
  EXPECT_FALSE(dialog.Done);
  // The final 100 may come before the hourglass has caught up.
  SendMessageW(dialog.hwnd, WM_SETUP_PROGRESS, 100, 0);
  EXPECT_TRUE(dialog.Done);
  EXPECT_EQ(dialog.ShownPercent, 0);
  // A second press of Install starts nothing more.
  CMainDlg::OnInstall(static_cast<CQvDlg*>(&dialog));
  EXPECT_EQ(dialog.context.Window.load(), nullptr);
}

std::atomic<bool> g_turn_painting{false};
std::atomic<bool> g_painted_without_members{false};

// A turn's snapshot, painted off the window's thread, pauses first and then
// looks whether the dialog's members are gone (the context's destructor
// raises its stop flag).
class SlowTurnDialog : public CMainDlg {
 public:
  void Paint(HDC dc) override {
    if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) {
      g_turn_painting = true;
      Sleep(200);
      if ((g_painted_without_members = context.StopFlag.load())) return;
    }
    CMainDlg::Paint(dc);
  }
};

TEST(InstallerWindow, DestructionLetsATurnEndBeforeTheMembersGo) {
  // Storage of the test's own: the turn may read it after the destruction.
  alignas(SlowTurnDialog) unsigned char storage[sizeof(SlowTurnDialog)];
  SlowTurnDialog* dialog = new (storage) SlowTurnDialog;
  ASSERT_TRUE(dialog->Create(nullptr, CMainDlg::kWidth, CMainDlg::kHeight, true));
  dialog->AnimateAsync(kQvAnimTurnShow);
  while (!g_turn_painting) Sleep(1);
  dialog->~SlowTurnDialog();
  EXPECT_FALSE(g_painted_without_members);
}
