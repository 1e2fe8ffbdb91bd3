// A layered dialog with one of every drawn control, built the way the
// setup programs build their windows; shown by setup_demo.exe and driven
// by the dialog tests.
#pragma once

#include "qv_button.h"
#include "qv_controls.h"
#include "qv_dlg.h"

class DemoDialog : public CQvDlg {
 public:
  static constexpr int kWidth = 380;
  static constexpr int kHeight = 240;

  DemoDialog();
  ~DemoDialog() override { StopAnimation(); }
  void OnInit() override;

  CQvText title;
  CQvButton close;
  CQvText label;
  CQvText folder;
  CQvLink link;
  CQvCheckBox run_after;
  CQvButton cancel;
  CQvButton install;
  CQvButton finished;

  int install_clicks = 0;
  int link_clicks = 0;
  int check_clicks = 0;
};
