// The installer window's own rules. A close that ended the process would
// end this test program with exit code 0 as well: ctest therefore also
// wants gtest's closing line.
#include "main_dlg.h"

#include <gtest/gtest.h>

#include "qv_messages.h"

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
