// The home state of the main window (the LookupScreen) and the family of
// resets that return to it. None reads the input or moves a store; they set
// properties of controls and empty panes.

#include "app/FrmLexaro.h"
#include "tools/conversion_window.h"
#include "tools/usage_help.h"

namespace zuvo {

namespace {
void show(std::initializer_list<Control*> cs, bool visible) {
  for (Control* c : cs) c->Visible = visible;
}
void enable(std::initializer_list<Control*> cs, bool enabled) {
  for (Control* c : cs) c->Enabled = enabled;
}
}  // namespace

// ResetLookupScreen, and ResetMainWindow with its additions (full).
void FrmLexaro::resetLookupScreen(bool full) {
  show({&Text26, &Text27, &Text40, &Text41, &Text42, &Text43, &Text44, &Text45, &Text46, &Text47, &Text90,
        &Text91, &Text92, &Text93, &Text94, &Text96, &Text97, &Text112, &Text114, &Text116, &Text117, &Text118,
        &Text119, &Text102},
       false);
  if (full) show({&Text33, &Text39, &Text72, &Text113}, false);
  show({&RichTextBox3, &RichTextBox8, &RichTextBox11, &RichTextBox12, &RichTextBox14, &RichTextBox15}, false);
  for (RichTextBox* r : {&RichTextBox3, &RichTextBox11, &RichTextBox12, &RichTextBox14, &RichTextBox15})
    r->setText(u"");
  show({&Command15, &Command9, &Command38, &Command67, &Command83, &Command55, &Command56, &Command81}, false);
  if (full) Command1.Caption = u"添加(&N)";
  show({&Command1, &Command11, &Command10A, &Command17, &Command19, &Command21, &Command23, &Command24,
        &Command25, &Command27},
       true);
  if (full) {
    enable({&Command3, &Command12}, true);
    show({&Command57, &Command58, &Command69}, false);
  }
  enable({&Command1, &Command11, &Command10A, &Command17, &Command19, &Command23, &Command24, &Command25,
          &Command27},
         true);
  enable({&Command45, &Command51, &Command59}, false);
  show({&Shape2, &Shape3, &Label1, &Line1, &Line4}, true);
  show({&Shape5, &Shape4, &Label3, &Label5, &Label4}, false);
  RichTextBox16.Visible = true;
  RichTextBox16.Enabled = true;
  Text120.Visible = true;
  twoPaneLayout();
  Text88.Width = 9490;
  Text88.Visible = true;
  RichTextBox7.ZOrder();
  RichTextBox13.ZOrder();
  RichTextBox13.Visible = true;
  RichTextBox7.Visible = true;
  RichTextBox16.SetFocus();
}

// ResetMainWindow
void FrmLexaro::Command20_Click() {
  app().unload<Frm说明1>();
  app().unload<Frm计量换算>();
  resetLookupScreen(true);
}

// ResetLookupScreen
void FrmLexaro::Command72_Click() { resetLookupScreen(false); }

// ReturnToLookupScreen: closes the sentence panels; keeps geometry and focus.
void FrmLexaro::Command5_Click() {
  show({&Text40, &Text41, &Text44, &Text45, &Text112, &RichTextBox15}, false);
  show({&Shape5, &Shape4, &Label3, &Label5, &Label4}, false);
  RichTextBox16.Visible = true;
  RichTextBox16.Enabled = true;
  show({&Text88, &RichTextBox13, &RichTextBox7, &Text120}, true);
  show({&Command9, &Command15, &Command38}, false);
  show({&Command1, &Command17, &Command11, &Command10A, &Command19, &Command21, &Command23, &Command24,
        &Command25, &Command27},
       true);
  enable({&Command10A, &Command17, &Command8, &Command19, &Command23, &Command25, &Command27}, true);
  show({&Shape2, &Shape3, &Label1, &Line1, &Line4}, true);
}

// RestoreTextPanes: only the number answer's layout puts the upper pane at
// Top 2550.
void FrmLexaro::Command16_Click() {
  const float top = RichTextBox13.Top;
  if (!(top > 2530 && top < 2570)) return;
  Text33.Visible = false;
  twoPaneLayout();
  Text88.Width = 9490;
  Text88.Visible = true;
  RichTextBox13.Visible = true;
  RichTextBox7.Visible = true;
}

// EnableMainButtons
void FrmLexaro::Command62_Click() {
  enable({&Command1, &Command10A, &Command17, &Command19, &Command23, &Command24, &Command25, &Command58}, true);
}

// --- procedures whose buttons or boxes nothing shows or presses --------------

// ShowThreePaneLayout
void FrmLexaro::Command28_Click() {
  RichTextBox13.Move(220.02f, 1320, 4710, 1760);
  RichTextBox7.Move(4990, 1320, 4700, 1760);
  RichTextBox4.Move(220.02f, 3150, 9470, 600);
  RichTextBox4.ZOrder();
  show({&RichTextBox13, &RichTextBox7, &RichTextBox4}, true);
  RichTextBox16.SetFocus();
}

// RestoreMainButtons
void FrmLexaro::Command30_Click() {
  Command1.Caption = u"添加(&N)";
  Command11.Width = 800.074f;
  show({&Command10A, &Command21}, true);
  enable({&Command1, &Command11, &Command10A, &Command17, &Command19, &Command23, &Command24, &Command25}, true);
  enable({&Command45, &Command51}, false);
  Shape2.Left = 1110.103f;
  Shape2.Width = 6510.606f;
  Label1.Left = 1200.112f;
  RichTextBox16.Width = 4980.463f;
  RichTextBox16.Left = 2465.229f;
  show({&RichTextBox1, &RichTextBox3, &RichTextBox8}, false);
}

// CloseWordViewLayout
void FrmLexaro::Command90_Click() {
  show({&Text112, &RichTextBox15, &RichTextBox14}, false);
  RichTextBox15.setText(u"");
  RichTextBox14.setText(u"");
  twoPaneLayout();
  Text88.ZOrder();
  RichTextBox13.ZOrder();
  RichTextBox7.ZOrder();
  show({&RichTextBox13, &RichTextBox7}, true);
}

// Switches the range result and the panes between three layouts by the
// result pane's width; Text12 is never shown, so never clicked.
void FrmLexaro::Text12_Click() {
  const float w = RichTextBox3.Width;
  if (w < 4080) {
    RichTextBox3.Left = 220.02f, RichTextBox3.Width = 9470;
    RichTextBox3.ZOrder();
  } else if (w <= 8050) {
    RichTextBox3.Left = 220.02f, RichTextBox3.Width = 4050;
    RichTextBox13.ZOrder();
    RichTextBox7.ZOrder();
  } else {
    RichTextBox3.Left = 4990, RichTextBox3.Width = 4050;
    RichTextBox3.ZOrder();
  }
}

void FrmLexaro::Text23_GotFocus() { Command21.SetFocus(); }
void FrmLexaro::Text24_GotFocus() { Command21.SetFocus(); }

}  // namespace zuvo
