// "<*>": opens and closes the range result pane. In the lookup window the
// open pane covers the work area and the input row turns light cyan; while
// the text reader is open the pane shares the work area with its panes.

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {
constexpr Colour kFrameClosed = 0xC0FFC0;
constexpr Colour kFrameOpen = 0xFFFFC0;

void placeFull(RichTextBox& pane) {
  pane.Move(220.02f, 1320, 9470, 3630);
  pane.Visible = true;
  pane.ZOrder();
}
}  // namespace

// ToggleResultPane
void FrmLexaro::Command19_Click() {
  if (Text2.text().empty()) {
    writeHowToAddText(true);
    return;
  }
  leaveBatchModeIfOn();
  if (Command55.Visible) Command1_Click();  // ToggleAddMode leaves add mode

  if (RichTextBox12.Visible && !RichTextBox8.Visible) {
    // The second reader pane alone: the result pane above it, or it alone.
    if (RichTextBox12.Height > 3620) {
      RichTextBox3.Move(220.02f, 1320, 9470, 1760);
      RichTextBox3.ZOrder();
      RichTextBox3.Visible = true;
      RichTextBox12.Height = 1810;
      RichTextBox12.Top = 3150;
    } else {
      RichTextBox3.Visible = false;
      RichTextBox12.Top = 1320;
      RichTextBox12.Height = 3640;
    }
    return;
  }
  if (Command45.Enabled) {  // reader mode
    if (Text23.BackColor == kReaderResultShown) {
      placeFull(RichTextBox3);
      Text23.BackColor = kButtonFace;
    } else {
      RichTextBox3.Visible = false;
      Text23.BackColor = kReaderResultShown;
    }
    return;
  }
  if (RichTextBox8.Visible) {  // the reader's text pane
    if (RichTextBox3.Visible)
      RichTextBox3.Visible = false;
    else
      placeFull(RichTextBox3);
    return;
  }
  // The lookup window
  const bool opening = !RichTextBox3.Visible;
  RichTextBox16.BackColor = Text120.BackColor = opening ? kFrameOpen : kFrameClosed;
  if (opening)
    placeFull(RichTextBox3);
  else
    RichTextBox3.Visible = false;
  for (CommandButton* b : {&Command1, &Command23, &Command25}) b->Enabled = !opening;
  RichTextBox16.SetFocus();
}

}  // namespace zuvo
