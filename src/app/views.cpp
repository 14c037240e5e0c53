// The three screens a lookup ends in: the verb view over nine boxes, the
// word view above two narrow sentence panes, and the not-found hint over the
// two panes. They place and show boxes; the texts come from the stores.

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {
constexpr Colour kGreen = 0xC0FFC0;
constexpr Colour kPaleCyan = 0xFFFFC0;
constexpr Colour kPeach = 0xC0E0FF;
constexpr Colour kPaleYellow = 0xC0FFFF;

}  // namespace

std::array<TextBox*, 9> FrmLexaro::verbViewBoxes() {
  return {&Text90, &Text91, &Text92, &Text93, &Text94, &Text96, &Text97, &Text26, &Text27};
}

// ShowVerbView
void FrmLexaro::Command54_Click() {
  Text90.BackColor = kPeach;
  Text91.BackColor = kGreen;
  Text92.BackColor = kWindowBackground;
  Text93.BackColor = Text94.BackColor = kPaleCyan;
  Text96.BackColor = Text97.BackColor = kGreen;
  Text26.BackColor = Text27.BackColor = kPaleCyan;
  RichTextBox13.Visible = false;
  RichTextBox7.Visible = false;
  Text91.Move(220.02f, 1320, 6700, 1180);
  Text92.Move(6990.65f, 1320, 2700, 300);
  Text93.Move(6990.65f, 1740, 1350, 300);
  Text94.Move(8379.78f, 1740, 1300, 300);
  Text96.Move(6990.65f, 2150, 1350, 300);
  Text97.Move(8379.78f, 2150, 1300, 300);
  Text26.Move(6990.65f, 2560, 2700, 1150);
  Text27.Move(6990.65f, 3760, 2700, 1190);
  Text88.Width = 9500;
  Text90.Move(220.02f, 2560, 6700, 2400);
  // The backdrop first, so that it covers whatever stood in the work area.
  Text88.ZOrder();
  for (TextBox* b : verbViewBoxes()) b->ZOrder();
  for (TextBox* b : verbViewBoxes()) b->Visible = true;
  Text88.Visible = true;
}

// HideVerbFields
void FrmLexaro::Command36_Click() {
  for (TextBox* b : verbViewBoxes()) b->Visible = false;
}

// ShowWordViewLayout
void FrmLexaro::Command76_Click() {
  Text112.BackColor = kPaleCyan;
  RichTextBox14.BackColor = kPeach;
  RichTextBox15.BackColor = kPaleYellow;
  RichTextBox13.BackColor = RichTextBox7.BackColor = kGreen;
  Text112.Move(220.02f, 1320, 4710, 1050);
  RichTextBox15.Move(5000, 1320, 4690, 1050);
  RichTextBox14.Move(220.02f, 2410, 9470, 1430);
  Text88.ZOrder();
  RichTextBox14.ZOrder();
  RichTextBox14.Visible = true;
  RichTextBox13.Move(220.02f, 3880, 4710, 1080);
  RichTextBox7.Move(4990, 3880, 4700, 1080);
  Text88.Width = 9490;
  Text88.Visible = true;
  RichTextBox13.ZOrder();
  RichTextBox7.ZOrder();
  Text112.ZOrder();
  RichTextBox15.ZOrder();
  Text112.Visible = RichTextBox15.Visible = RichTextBox13.Visible = RichTextBox7.Visible = true;
}

// ShowNotFoundLayout
void FrmLexaro::Command44_Click() {
  Command36_Click();
  for (Control* c : std::initializer_list<Control*>{&Text112, &Text113, &Text39, &RichTextBox14, &RichTextBox15})
    c->Visible = false;
  twoPaneLayout();
  RichTextBox13.ZOrder();
  RichTextBox7.ZOrder();
  RichTextBox13.Visible = RichTextBox7.Visible = true;
  Text32.Visible = true;
  Text32.ZOrder();
}

}  // namespace zuvo
