// The word list of a text: the analysis walks the reader's text token by
// token (a token runs up to the next blank), looks each up as a key word, as
// an infinitive and through its stem candidates, and lists what it finds;
// "Y" shows the list in the text pane's place and keeps each line once.

#include <unordered_set>

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {
constexpr TextView kWordMark = u" ◆";
constexpr TextView kVerbMark = u" ★";

// The token's selection ends; the caret goes past it, the text unchanged.
void passSelection(RichTextBox& pane) { pane.setSelStart(pane.SelStart() + pane.SelLength()); }

// The line that starts at `pos`: the text up to the next CR, or the end.
TextView lineAt(TextView text, size_t pos) {
  if (pos >= text.size()) return {};
  const size_t cr = text.find(u'\r', pos);
  return text.substr(pos, (cr == TextView::npos ? text.size() : cr) - pos);
}

// The lines of the list up to where two empty lines stand in a row (or the
// text ends); single empty lines are dropped. `tick` runs once per line met.
template <class Tick>
std::vector<TextView> keptLines(TextView text, Tick&& tick) {
  std::vector<TextView> lines;
  size_t pos = 0;
  for (;;) {
    tick();
    const TextView line = lineAt(text, pos);
    if (!line.empty()) {
      lines.push_back(line);
      pos = std::min(text.size(), pos + line.size() + 2);  // past the line and its line end
      continue;
    }
    pos = std::min(text.size(), pos + 2);  // the empty line goes
    if (lineAt(text, pos).empty()) break;
  }
  return lines;
}
}  // namespace

bool FrmLexaro::verbStoreOn(TextView infinitive) {
  Data3.setIndex("ZD1");
  Data3.Seek("=", infinitive);
  return !Data3.NoMatch();
}

// AnalyzeReaderText: the list grows at its caret and is never emptied here.
void FrmLexaro::Command73_Click() {
  RichTextBox8.setSelStart(0);
  do {
    // A long text takes a while: the bar shows that the walk moves on.
    Command4_Click();  // StepProgress
    RichTextBox8.Span(u" ", true, true);
    Text100.setText(RichTextBox8.SelText());
    // A token that ends in a line feed is looked up up to its first CR.
    if (Text10.text() == u"10") {
      RichTextBox8.setSelLength(0);
      RichTextBox8.Span(u"\r", true, true);
    }
    // The empty token (two blanks, the end of the text) is no word.
    if (const Text key = RichTextBox8.SelText(); !key.empty()) analyzeToken(key);
    RichTextBox8.setSelLength(RichTextBox8.SelLength() + 1);
    Text57.setText(RichTextBox8.SelText());
    if (Label8.BackColor == kButtonFace && !Text57.text().empty()) {
      for (TextBox* box : stemCandidateBoxes()) box->setText(Text57.text());
      Text49.setText(Text57.text());
      Command34_Click();  // BuildStemCandidates
      passSelection(RichTextBox8);
      analysisStemLadder();
    }
    Label8.BackColor = kButtonFace;
    passSelection(RichTextBox8);
  } while (!Text57.text().empty());
}

void FrmLexaro::analyzeToken(TextView key) {
  Data6.setIndex("ZD1");
  Data6.Seek("=", key);
  if (!Data6.NoMatch()) {
    RichTextBox11.setSelText(Text112.text() + Text(kWordMark) + Text113.text() + Text(CRLF));
    Label8.BackColor = kChainFound;
    return;
  }
  Data4.setIndex("ZD1");
  Data4.Seek("=", key);
  // An infinitive without its VerbStore record is a miss.
  if (Data4.NoMatch() || !verbStoreOn(Text63.text())) return;
  RichTextBox11.setSelText(Text92.text() + Text(kVerbMark) + Text91.text() + Text(CRLF));
  Label8.BackColor = kChainFound;
}

// The stem ladder: the first candidate among the infinitives, the others
// among the roots; the first verb found ends it.
void FrmLexaro::analysisStemLadder() {
  const auto boxes = stemCandidateBoxes();
  for (size_t i = 0; i < boxes.size() && Label8.BackColor == kButtonFace; ++i) {
    Data4.setIndex(i == 0 ? "ZD1" : "ZD2");
    Data4.Seek("=", boxes[i]->text());
    if (Data4.NoMatch() || !verbStoreOn(Text63.text())) continue;
    // The infinitive ends its own line, so entries never run together.
    RichTextBox11.setSelText(Text92.text() + Text(CRLF));
    Command94_Click();  // AppendVerbListLine
    Label8.BackColor = kChainFound;
  }
}

// AppendVerbListLine: the list's caret goes back to the start of its line.
// Its colouring step would take the length in Text49, which always reads "0",
// so the caret move is all it does.
void FrmLexaro::Command94_Click() { RichTextBox11.UpTo(u"\n", false, false); }

// CompactWordList
void FrmLexaro::Command59_Click() {
  if (!RichTextBox12.Visible) {
    RichTextBox16.SetFocus();
    return;
  }
  if (RichTextBox11.text().empty()) Command73_Click();  // AnalyzeReaderText

  if (RichTextBox11.Visible) {
    RichTextBox8.Visible = true;
    RichTextBox11.Visible = false;
  } else {
    RichTextBox8.Visible = false;
    RichTextBox11.Move(220.02f, 1320, 9470, 1760);
    RichTextBox11.ZOrder();
    RichTextBox11.Visible = true;
  }

  // Each line once, at its first place, up to two empty lines in a row.
  const Text list = RichTextBox11.text();
  const std::vector<TextView> lines = keptLines(list, [this] { Command4_Click(); });
  std::unordered_set<TextView> seen;
  Text kept;
  for (TextView line : lines) {
    Command4_Click();  // StepProgress: one tick per line searched
    if (!seen.insert(line).second) continue;
    Command4_Click();
    kept.append(line);
    kept += CRLF;
  }
  Text19.setText(u"");
  RichTextBox11.setText(kept);
  Text67.setText(u"");
  ProgressBar1.Visible = false;
}

// ListTextWords: nothing presses Command66. The tokens of the second pane,
// as verbs or words, with their meaning.
void FrmLexaro::Command66_Click() {
  RichTextBox12.setSelStart(0);
  do {
    RichTextBox12.SetFocus();
    RichTextBox12.Span(u" ", true, true);
    if (const Text token = RichTextBox12.SelText(); !token.empty()) listToken(token);
    RichTextBox12.setSelLength(RichTextBox12.SelLength() + 1);
    Text57.setText(RichTextBox12.SelText());
    passSelection(RichTextBox12);
  } while (!Text57.text().empty());
}

void FrmLexaro::listToken(TextView token) {
  constexpr TextView kGap = u"   ";
  if (verbStoreOn(token)) {
    RichTextBox11.setSelText(Text92.text() + Text(kGap) + Text91.text() + Text(CRLF));
    return;
  }
  Data6.setIndex("ZD1");
  Data6.Seek("=", token);
  if (!Data6.NoMatch()) RichTextBox11.setSelText(Text113.text() + Text(kGap) + Text112.text() + Text(CRLF));
}

}  // namespace zuvo
