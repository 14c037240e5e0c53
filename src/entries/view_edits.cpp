// Typing into the verb view and the word view edits the record on show; the
// handlers here carry each edit into the sibling tables: the verb's form and
// search records, and the word's search line. They write a sibling only
// while it stands on the record of the verb or word on show, so an edit
// never reaches another entry.

#include "app/FrmLexaro.h"
#include "entries/FMff.h"

namespace zuvo {

namespace {
// WordSearchRowFlag, the back colour of Text87.
constexpr Colour kSeekPending = 0x80C0FF;
constexpr Colour kSearchRowFound = 0xFF00FF;

// A word line of a search record as a range [begin, end) of the record's
// text, its final CR LF outside. The record holds the lines of one or more
// words, each "Spanish◆Chinese", a merged word's example lines after its
// own; a meaning typed by hand may run over several lines.
struct LineRange {
  size_t begin = 0, end = 0;
};

// Calls `f(begin, lineEnd)` for every line of the record until it returns true.
template <class F>
void forEachLine(TextView record, F&& f) {
  for (size_t begin = 0;;) {
    const size_t cr = record.find(CRLF, begin);
    const size_t lineEnd = cr == TextView::npos ? record.size() : cr;
    if (f(begin, lineEnd) || cr == TextView::npos) return;
    begin = cr + CRLF.size();
  }
}

// The word's line as the record holds it before an edit: the line whose
// Chinese part is the meaning it was last written with (running over as many
// lines as that meaning has), the one whose Spanish part is the head first.
std::optional<LineRange> wordLineOf(TextView record, TextView head, TextView meaning) {
  std::optional<LineRange> found;
  forEachLine(record, [&](size_t begin, size_t lineEnd) {
    const size_t mark = record.substr(begin, lineEnd - begin).find(u'◆');
    if (mark == TextView::npos) return false;
    const size_t from = begin + mark + 1, end = from + meaning.size();
    if (end > record.size() || record.substr(from, meaning.size()) != meaning) return false;
    if (end != record.size() && record.substr(end, CRLF.size()) != CRLF) return false;
    const bool sameHead = record.substr(begin, mark) == head;
    if (sameHead || !found) found = LineRange{begin, end};
    return sameHead;
  });
  return found;
}

// Where the word's line is to go when the record no longer holds it as it
// was written: the first line of the head, else the first word line, one
// line only, so that no example line is taken with it.
std::optional<LineRange> likelyWordLine(TextView record, TextView head) {
  std::optional<LineRange> byHead, first;
  forEachLine(record, [&](size_t begin, size_t lineEnd) {
    const TextView line = record.substr(begin, lineEnd - begin);
    const size_t mark = line.find(u'◆');
    if (mark == TextView::npos) return false;
    if (!first) first = LineRange{begin, lineEnd};
    if (line.substr(0, mark) == head) byHead = LineRange{begin, lineEnd};
    return byHead.has_value();
  });
  return byHead ? byHead : first;
}

// The record that the word's search record becomes when its line is
// rewritten as head, "◆" and meaning: only that line is replaced; the word's
// example lines and the lines of other words stay.
Text replaceWordLine(TextView record, TextView head, TextView meaningBefore, TextView meaning) {
  const Text line = Text(head) + u"◆" + Text(meaning);
  std::optional<LineRange> target = wordLineOf(record, head, meaningBefore);
  if (!target && record.find(CRLF) == TextView::npos) return line;  // one line: the word's own
  if (!target) target = likelyWordLine(record, head);
  if (!target) return line + Text(CRLF) + Text(record);
  return Text(record.substr(0, target->begin)) + line + Text(record.substr(target->end));
}
}  // namespace

// --- the verb view ---------------------------------------------------------------

// A sibling of VerbStore stands on the verb's ID, sought again when it has
// moved elsewhere; false when it has no record with that ID.
bool FrmLexaro::siblingOnVerb(DataSource& sibling) {
  const Text id = Text75.text();
  if (id.empty()) return false;
  if (sibling.hasCurrent() && sibling.value("ID") == id) return true;
  sibling.setIndex("ID");
  sibling.Seek("=", id);
  return !sibling.NoMatch();
}

// MirrorVerbFields (infinitive); the accented letter reaches the mirrors at
// the next key release.
void FrmLexaro::Text92_KeyUp(int& keyCode, int shift) {
  const Text infinitive = Text92.text();
  if (siblingOnVerb(Data4)) Text63.setText(infinitive);
  if (siblingOnVerb(Data5)) Text87.setText(infinitive);
  FMff& worker = app().form<FMff>();
  worker.Text1.setText(infinitive);
  if (StrComp(worker.Text2.text(), u"1") > 0)
    requestVerbForms(infinitive);
  else
    worker.Text2.setText(u"0");
  accentKeys(Text92, keyCode, shift);
}

// MirrorVerbFields (meaning). Ctrl+I has typed a TAB into this multi-line
// box; the accent step takes it out before the meaning is mirrored.
void FrmLexaro::Text91_KeyUp(int& keyCode, int shift) {
  accentKeys(Text91, keyCode, shift);
  const Text meaning = Text91.text();
  if (siblingOnVerb(Data4)) Text73.setText(meaning);
  if (siblingOnVerb(Data5)) Text107.setText(meaning);
}

// MirrorVerbFields (example text): an accent key mirrors nothing; the next
// plain key release mirrors the whole text.
void FrmLexaro::Text90_KeyUp(int& keyCode, int shift) {
  if (accentKeys(Text90, keyCode, shift)) return;
  if (siblingOnVerb(Data5)) Text9.setText(Text90.text());
}

// --- the word view ---------------------------------------------------------------

// The seek step: WordSearchStore on the search record of the word on show.
bool FrmLexaro::seekWordSearchRow() {
  wordLineMeaning_ = std::nullopt;
  Data7.setIndex("ZD2");
  Data7.Seek("=", Text51.text());
  if (Data7.NoMatch()) return false;
  Text87.BackColor = kSearchRowFound;
  return true;
}

// SyncWordSearchRow: the seek step when a seek is pending, then the word's
// line rewritten as head, "◆" and meaning. The write is made only on the
// search record of the word on show: WordSearchStore is sought again when it
// stands elsewhere, and nothing is written when the word has none. The
// word's line is found by the meaning it holds: the one this editing visit
// last wrote, or else the one the meaning pane shows.
void FrmLexaro::syncWordSearchRow(TextView meaning) {
  const bool onWord = Data7.hasCurrent() && Data7.value("ZD2") == Text51.text();
  if ((Text87.BackColor == kSeekPending || !onWord) && !seekWordSearchRow()) return;
  const Text before = wordLineMeaning_->value_or(RichTextBox15.text());
  Text31.setText(replaceWordLine(Text31.text(), Text112.text(), before, meaning));
  wordLineMeaning_ = Text(meaning);
}

void FrmLexaro::Text112_KeyUp(int& keyCode, int shift) {
  if (accentKeys(Text112, keyCode, shift)) return;
  syncWordSearchRow(RichTextBox15.text());
}

// The meaning editor; Ctrl+I has typed a TAB into it, which the accent step
// takes out before the line is written.
void FrmLexaro::Text113_KeyUp(int& keyCode, int shift) {
  accentKeys(Text113, keyCode, shift);
  syncWordSearchRow(Text113.text());
}

// The verb entry panel's synonym box: the accent keys, or else the seek step
// alone.
void FrmLexaro::Text114_KeyUp(int& keyCode, int shift) {
  if (accentKeys(Text114, keyCode, shift)) return;
  if (Text87.BackColor == kSeekPending) seekWordSearchRow();
}

void FrmLexaro::Text112_LostFocus() {
  Text87.BackColor = kSeekPending;
  Text112.BackColor = kHeadPlain;
}

// Toggles the head box's mark and closes both editors over their panes.
void FrmLexaro::Text112_Click() {
  Text112.BackColor = Text112.BackColor == kHeadPlain ? kHeadMarked : kHeadPlain;
  Text39.Visible = Text113.Visible = false;
  RichTextBox14.ZOrder();
  RichTextBox15.ZOrder();
  RichTextBox14.setText(Text39.text());
  RichTextBox15.setText(Text113.text());
  RichTextBox14.Visible = RichTextBox15.Visible = true;
}

void FrmLexaro::Text113_LostFocus() {
  Text87.BackColor = kSeekPending;
  Text113.Visible = false;
  RichTextBox15.setText(Text113.text());
  RichTextBox15.Visible = true;
  Text59.BackColor = kWindowBackground;
}

void FrmLexaro::Text39_LostFocus() {
  Text39.Visible = false;
  RichTextBox14.ZOrder();
  RichTextBox14.setText(Text39.text());
  RichTextBox14.Visible = true;
  Text58.BackColor = kWindowBackground;
}

void FrmLexaro::Text39_Click() { Text112.BackColor = kHeadPlain; }

}  // namespace zuvo
