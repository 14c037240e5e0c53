// Marking the input where it occurs: the first sentence pair that contains
// it is brought into the panes and every occurrence is coloured dark red;
// in the word view the panes' lines are set back to plain first.

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {
constexpr Colour kOccurrence = 192;
}  // namespace

// Colours every occurrence of the input in the pane, overlapping ones
// included; the caret ends at the start of the last one.
void FrmLexaro::colourOccurrences(RichTextBox& pane, bool hidesHint) {
  const Text input = RichTextBox16.text();
  int64_t p = 0;
  do {
    p = InStr(p + 1, pane.text(), input);
    if (p > 0) {
      pane.setSelStart(p - 1);
      pane.setSelLength(Len(input));
      if (hidesHint) Text32.Visible = false;
    }
    pane.setSelColor(kOccurrence);
    pane.setSelLength(0);
  } while (p != 0);
}

// HighlightQueryInPanes
void FrmLexaro::Command78_Click() {
  const Text input = RichTextBox16.text();
  const int64_t rows = MSFlexGrid1.Rows();
  int64_t hit = -1;
  if (rows > 0 && MSFlexGrid1.cellView(0, 1).find(input) != TextView::npos) {
    hit = 0;
  } else if (rows > 0) {
    // Every row passed over moves the sentence store to its first record;
    // once there, a move again changes nothing, so it is made once.
    Data1.MoveFirst();
    hit = MSFlexGrid1.findInColumn(1, input, 1);
    if (hit >= rows) hit = -1;
  }
  if (hit < 0) return;
  MSFlexGrid1.Row = hit;
  MSFlexGrid1.Col = 1;
  Text25.setText(NumText(hit + 1));
  Data1.setIndex("ID");
  Data1.Seek("=", Text25.text());
  if (RichTextBox7.text().empty()) {
    Data1.MoveFirst();
    return;
  }
  // Only the text from each pane's caret on goes back to plain.
  for (RichTextBox* pane : {&RichTextBox13, &RichTextBox7}) {
    pane->setSelLength(Len(pane->text()));
    pane->setSelColor(kWindowText);
    pane->setSelText(pane->SelText());
  }
  colourOccurrences(RichTextBox13, true);
  RichTextBox7.setSelStart(0);
  colourOccurrences(RichTextBox7, true);
}

// HighlightInputInWordView
void FrmLexaro::Command48_Click() {
  for (RichTextBox* pane : {&RichTextBox14, &RichTextBox15}) {
    // The line walk ends at the first empty line.
    for (;;) {
      pane->Span(u"\r", true, true);
      Text19.setText(pane->SelText());
      if (Text19.text().empty()) break;
      pane->setSelColor(kWindowText);
      pane->setSelBold(false);
      pane->setSelText(pane->SelText());
      pane->setSelStart(pane->SelStart() + 2);
    }
    pane->setSelStart(0);
    colourOccurrences(*pane, false);
  }
}

}  // namespace zuvo
