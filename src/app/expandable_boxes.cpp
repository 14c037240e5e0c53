// The expandable boxes of the entry panels and the verb view: a double-click
// (a click for the gerund and participle) enlarges a box over its
// neighbours, the next gives it back its small place. Each handler decides by
// the box's own size against a threshold a little above its small size and
// sets fixed sizes, so two presses always give back the opening layout.

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {
constexpr float kSideLeft = 6990.65f;
constexpr float kWorkLeft = 220.02f;
}  // namespace

bool FrmLexaro::verbEntryPanelOpen() const { return Text72.Visible && Text72.BackColor == kVerbPanelMark; }

// The upper box of a sentence panel grows downwards over the lower one.
void FrmLexaro::toggleSentenceUpperBox(TextBox& box) {
  if (box.Height <= 4420) {
    box.Height = 4520;
    box.ZOrder();
  } else {
    box.Height = 1220;
  }
  box.SetFocus();
}

// The lower box grows upwards over the upper one, and the prompt above
// follows it.
void FrmLexaro::toggleSentenceLowerBox(TextBox& box) {
  if (box.Height <= 4500) {
    box.Top = 420.212f;
    box.Height = 4520;
    box.ZOrder();
    box.SetFocus();
    Label5.setCaption(u"  输入西文句子的全文内容:");
  } else {
    box.Top = 1950;
    box.Height = 3000;
    box.SetFocus();
    Label5.setCaption(u"  输入中文子句的全文内容:");
  }
}

void FrmLexaro::Text40_DblClick() { toggleSentenceUpperBox(Text40); }
void FrmLexaro::Text44_DblClick() { toggleSentenceUpperBox(Text44); }
void FrmLexaro::Text41_DblClick() { toggleSentenceLowerBox(Text41); }
void FrmLexaro::Text45_DblClick() { toggleSentenceLowerBox(Text45); }

// The word add panel's word and meaning boxes grow and shrink together,
// over the examples box.
void FrmLexaro::toggleWordAddPair(bool expand) {
  if (expand) {
    Text116.Visible = false;
    Text43.Height = 3230;
    Text42.Height = 3630;
    Text43.ZOrder();
    Text42.ZOrder();
  } else {
    Text43.Height = 650;
    Text42.Height = 1050;
    Text116.Visible = true;
  }
}

void FrmLexaro::Text42_DblClick() {
  if (verbEntryPanelOpen()) {
    if (Text42.Height < 1200) {
      Text114.Width = Text119.Width = 2700;
      Text114.Left = Text119.Left = kSideLeft;
      Text42.ZOrder();
      Text42.Height = 3610;
    } else {
      Text42.Height = 1180;
      Text116.Height = 2380;
      Text116.Top = 2560;
      Text116.Visible = true;
    }
    return;
  }
  if (Text102.Visible) toggleWordAddPair(Text42.Height < 1070);
}

void FrmLexaro::Text43_DblClick() { toggleWordAddPair(Text43.Height < 670); }

void FrmLexaro::Text116_DblClick() {
  if (verbEntryPanelOpen()) {
    if (Text116.Height < 2420) {
      Text116.ZOrder();
      Text116.Top = 1320;
      Text116.Height = 3610;
    } else {
      Text116.Height = 2380;
      Text116.Top = 2560;
    }
  }
  if (Text43.Visible && Text43.BackColor == kWordPanelMark) {
    if (Text116.Height < 1280) {
      Text116.Height = 2540;
      Text116.ZOrder();
    } else {
      Text116.Height = 1260;
    }
  }
}

// Two side boxes over the width of the work area, the example box below
// them hidden meanwhile; the first box's width decides for both.
void FrmLexaro::toggleSideBoxes(TextBox& first, TextBox& second, TextBox& hidden, TextBox& meaning) {
  if (first.Width < 2720) {
    hidden.Visible = false;
    meaning.Height = 1180;
    first.Width = second.Width = 9460;
    first.Left = second.Left = kWorkLeft;
  } else {
    first.Width = second.Width = 2700;
    first.Left = second.Left = kSideLeft;
    hidden.Visible = true;
  }
}

void FrmLexaro::Text114_DblClick() {
  if (verbEntryPanelOpen()) toggleSideBoxes(Text114, Text119, Text116, Text42);
}
void FrmLexaro::Text119_DblClick() { Text114_DblClick(); }
void FrmLexaro::Text26_DblClick() { toggleSideBoxes(Text26, Text27, Text90, Text91); }
void FrmLexaro::Text27_DblClick() { Text26_DblClick(); }

// The gerund and participle boxes widen on a click; the focus then goes to
// the exit button, so no caret stays in them.
void FrmLexaro::Text96_Click() {
  if (Text96.Width < 1360) {
    Text96.Width = 2700;
    Text96.ZOrder();
  } else {
    Text96.Width = 1350;
  }
  Command21.SetFocus();
}

void FrmLexaro::Text97_Click() {
  if (Text97.Width < 1310) {
    Text97.Left = kSideLeft;
    Text97.Width = 2700;
    Text97.ZOrder();
  } else {
    Text97.Width = 1300;
    Text97.Left = 8379.78f;
  }
  Command21.SetFocus();
}

// The selection written over itself: the text stays, the caret goes after it.
void FrmLexaro::Text90_DblClick() { Text90.setSelText(Text90.SelText()); }

// Text4 is written by nothing; Text5 is read by nothing.
void FrmLexaro::Text4_Change() { Text5.setText(NumText(Len(Text4.text()))); }

// Whatever is written into Text49, it takes the length of the sentence copy's
// selection, which nothing sets: the reader's stem steps leave "0" in it.
void FrmLexaro::Text49_Change() { Text49.setText(NumText(Len(RichTextBox6.SelText()))); }

// Command52 is hidden and pressed by nothing; it reads Text49 as a number.
void FrmLexaro::Command52_Click() { [[maybe_unused]] const double length = Val(Text49.text()); }

}  // namespace zuvo
