// The reader word lookup: the text selected in the reader's text pane is
// sought as a key word and as a Spanish word, then through its stem
// candidates among the verbs, and what is found is appended to the word
// list, which then takes the text pane's place.

#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::RichTextBox8_MouseUp(int, int, float, float) {
  Command74_Click();  // LookUpReaderWord
  RichTextBox8.Visible = false;
  RichTextBox11.Move(220.02f, 1320, 9470, 1760);
  RichTextBox11.ZOrder();
  RichTextBox11.Visible = true;
  RichTextBox11.SetFocus();
}

// LookUpReaderWord
void FrmLexaro::Command74_Click() {
  const Text key = RichTextBox8.SelText();
  // A click that selects nothing is no word: the empty text would match a
  // verb of two letters, whose root is empty.
  if (key.empty()) return;

  Data6.setIndex("ZD1");
  Data6.Seek("=", key);
  if (Data6.NoMatch()) {
    Data6.setIndex("ZD2");
    Data6.Seek("=", key);
  }
  if (!Data6.NoMatch()) {
    RichTextBox11.setText(RichTextBox11.text() + Text112.text() + u"//" + Text113.text() + Text(CRLF));
    return;
  }

  for (TextBox* box : stemCandidateBoxes()) box->setText(key);
  Text49.setText(key);
  Command34_Click();  // BuildStemCandidates
  // The selection gives way to a caret at its end; the text stays as it is.
  RichTextBox8.setSelStart(RichTextBox8.SelStart() + RichTextBox8.SelLength());

  const auto boxes = stemCandidateBoxes();
  for (size_t i = 0; i < boxes.size() && Label8.BackColor == kButtonFace; ++i) {
    // The first candidate is sought among the infinitives, the others among the roots.
    Data4.setIndex(i == 0 ? "ZD1" : "ZD2");
    Data4.Seek("=", boxes[i]->text());
    if (Data4.NoMatch()) continue;
    // Each verb entry ends its own line, so entries never run together.
    RichTextBox11.setText(RichTextBox11.text() + Text63.text() + Text(CRLF));
    Command94_Click();  // AppendVerbListLine
    Label8.BackColor = kChainFound;
  }
  Label8.BackColor = kButtonFace;
}

}  // namespace zuvo
