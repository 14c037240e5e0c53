// The buttons that open the secondary windows, and the help button of the
// entry panels, whose caption names what its next press does.

#include "app/FrmLexaro.h"
#include "places/place_window.h"
#include "tools/conversion_window.h"
#include "tools/usage_help.h"

namespace zuvo {

// ShowConversionWindow
void FrmLexaro::Command12_Click() { app().form<Frm计量换算>().Show(); }

// ShowPlaceNamesWindow: a place table that cannot be opened is reported and
// the window stays closed.
void FrmLexaro::Command3_Click() { frm世界地名::open(app()); }

// ShowUsageHelp
void FrmLexaro::Command27_Click() {
  leaveBatchModeIfOn();
  app().form<Frm说明1>().Show();
}

// ToggleHelpWindow: any mouse button, and no key, acts; the window's
// visibility decides, whatever the caption reads.
void FrmLexaro::Command15_MouseDown(int, int, float, float) {
  if (app().visible<Frm说明1>()) {
    app().unload<Frm说明1>();
    Command15.Caption = u"说明";
  } else {
    Command15.Caption = u"关闭";
    app().form<Frm说明1>().Show();
  }
}

// The input box's frame never keeps the focus: it hides the help window or
// passes the focus on to "<> [——] <>".
void FrmLexaro::Text120_GotFocus() {
  if (app().visible<Frm说明1>())
    app().form<Frm说明1>().Hide();
  else
    Command20.SetFocus();
}

}  // namespace zuvo
