// The lookup of a word selected in the lower pane: as a key word, as an
// infinitive, and as an inflected verb form through eight stem candidates
// (the word less its last 1 to 8 characters) matched against the verb roots.

#include "app/FrmLexaro.h"

namespace zuvo {

std::array<TextBox*, 8> FrmLexaro::stemCandidateBoxes() {
  return {&Text58, &Text59, &Text60, &Text61, &Text62, &Text81, &Text82, &Text50};
}

// LookUpSelectedWord
void FrmLexaro::Command33_Click() {
  // The key: a selection that ends in a line feed stands for the text from
  // its start to the end of its line.
  if (Text10.text() == u"10") {
    RichTextBox7.setSelLength(0);
    RichTextBox7.Span(u"\r", true, true);
  }
  const Text key = RichTextBox7.SelText();
  // An empty selection is no word: it would match any verb of two letters.
  if (key.empty()) return;

  Data6.setIndex("ZD1");
  Data6.Seek("=", key);
  if (!Data6.NoMatch()) {
    RichTextBox15.setText(Text113.text());
    RichTextBox14.setText(Text39.text());
    Command76_Click();  // ShowWordViewLayout
    Label6.BackColor = kSkipNextLookup;
    Text32.Visible = false;
    Data3.MoveFirst();
    return;
  }
  Data3.setIndex("ZD1");
  Data3.Seek("=", key);
  if (!Data3.NoMatch()) {
    Command54_Click();  // ShowVerbView
    Label6.BackColor = kSkipNextLookup;
    Text32.Visible = false;
    return;
  }
  for (TextBox* box : stemCandidateBoxes()) box->setText(key);
  Command34_Click();  // BuildStemCandidates
  followStemChain();
}

// The candidate chain: the first stem that is a verb's root, and whose
// infinitive VerbStore holds, shows that verb.
void FrmLexaro::followStemChain() {
  const auto boxes = stemCandidateBoxes();
  for (size_t i = 0; i < boxes.size() && Label8.BackColor == kButtonFace; ++i) {
    Data4.setIndex("ZD2");
    Data4.Seek("=", boxes[i]->text());
    if (Data4.NoMatch()) continue;
    Data3.setIndex("ZD1");
    Data3.Seek("=", Text63.text());
    if (Data3.NoMatch()) continue;  // a root without its verb is a miss
    Command54_Click();  // ShowVerbView
    Label6.BackColor = kSkipNextLookup;
    Text32.Visible = false;
    // The last candidate ends the chain anyway.
    if (i + 1 < boxes.size()) Label8.BackColor = kChainFound;
    else break;
  }
  Label8.BackColor = kButtonFace;
}

// BuildStemCandidates: each box loses its row's number of characters when
// the word is long enough for it.
void FrmLexaro::Command34_Click() {
  const int64_t len = Len(Text58.text());
  if (len == 0 || len == 1 || len == 2) return;
  struct Row {
    TextBox* box;
    int64_t cut, threshold;
  };
  const Row rows[] = {{&Text58, 1, 3}, {&Text59, 2, 3}, {&Text60, 3, 4}, {&Text61, 4, 5},
                      {&Text62, 5, 6}, {&Text81, 6, 7}, {&Text82, 7, 8}, {&Text50, 8, 9}};
  for (const Row& r : rows) {
    const int64_t l = Len(r.box->text());
    if (l >= r.threshold) r.box->setText(zuvo::Left(r.box->text(), l - r.cut));
  }
}

// The candidate boxes keep their lengths.
void FrmLexaro::Text58_Change() { stemLengths_[0] = Len(Text58.text()); }
void FrmLexaro::Text59_Change() { stemLengths_[1] = Len(Text59.text()); }
void FrmLexaro::Text60_Change() { Text67.setText(NumText(Len(Text60.text()))); }
void FrmLexaro::Text61_Change() { stemLengths_[2] = Len(Text61.text()); }
void FrmLexaro::Text62_Change() { stemLengths_[3] = Len(Text62.text()); }
void FrmLexaro::Text81_Change() { stemLengths_[4] = Len(Text81.text()); }
void FrmLexaro::Text82_Change() { Text77.setText(NumText(Len(Text82.text()))); }
void FrmLexaro::Text50_Change() { Text78.setText(NumText(Len(Text50.text()))); }

// --- reached by nothing ---------------------------------------------------------

// SeekVerbEverywhere
void FrmLexaro::Command41_Click() {
  Data3.setIndex("ZD1");
  Data3.Seek("=", Text74.text());
  Data4.setIndex("ZD1");
  Data4.Seek("=", Text74.text());
  Data5.setIndex("ZD3");
  Data5.Seek("=", Text74.text());
}

void FrmLexaro::Text74_Change() { Command41.setValue(true); }

// LookUpLemmaOfSelection: the candidate chain alone, on the selection.
void FrmLexaro::lookUpLemmaOfSelection() {
  const Text key = RichTextBox7.SelText();
  for (TextBox* box : stemCandidateBoxes()) box->setText(key);
  Command34_Click();
  followStemChain();
}

void FrmLexaro::Text70_Change() { Text70.setText(NumText(Len(Text51.text()))); }

void FrmLexaro::Text79_Change() {
  if (Text79.text() == u"80" || Text79.text() == u"79" || Text79.text() == u"78") Text79.setText(u"0");
}

}  // namespace zuvo
