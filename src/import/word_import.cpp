// The word imports: every line of a checked word file is cut into its
// fields; its Spanish side is walked token by token, and each token worth
// looking up (a key token) is staged with the line's fields in the merge
// worker's two staging tables. After the last line the worker merges the
// staged rows into one WordStore and one WordSearchStore record per key.
//
// The walk keeps its variables in work boxes whose Change handlers serve as
// subroutines: Text100 takes the last character's code into Text10, Text78
// its length into Text25, and the pickers Text15, Text17 and Text18 keep a
// token's last character, last three characters and first character.
//
// Staging, merge and the closing message are one transaction: an import
// lands whole, or a failure drops all of it and is reported.

#include <algorithm>
#include <array>
#include <exception>

#include "app/FrmLexaro.h"
#include "import/FMCT.h"
#include "import/batch_lines.h"
#include "store/seed.h"
#include "store/batch_transaction.h"

namespace zuvo {

namespace {

// Whole tokens that are never a key; a line's last token carries its line
// end and so never equals one of them.
constexpr std::array<TextView, 49> kStopTokenList = {
    u"El",  u"el",   u"Al",  u"él",  u"al",   u"a",    u"A",    u"de",   u"las", u"los",
    u"Las", u"Los",  u"La",  u"Lo",  u"lo",   u"la",   u"En",   u"en",   u"Un",  u"un",
    u"por", u"con",  u"Por", u"Con", u"del",  u"!",    u"se",   u"Del",  u"e",   u"Se",
    u"o",   u"y",    u"una", u"su",  u"uno",  u"es",   u"sus",  u"ella", u"ello", u"(de)",
    u"no",  u"Ese",  u"que", u"el,", u"para", u"+",    u"a,",   u"(de",  u"+inf",
};

bool isStopToken(TextView t) {
  return std::find(kStopTokenList.begin(), kStopTokenList.end(), t) != kStopTokenList.end();
}

bool isOneOf(TextView t, std::initializer_list<TextView> set) {
  return std::find(set.begin(), set.end(), t) != set.end();
}

// What becomes of a token after the rules of the walk.
enum class TokenFate {
  Staged,
  Skipped,
  // Its word ends in "," or "!" and it is not staged, found by the rule of
  // the last token (its length counts the mark and CR LF) or by the mark
  // test (the mark alone).
  MarkAtLineEnd,
  Mark,
};

// The parts of a token the pickers and MeasureTokenLength left in their boxes.
struct TokenParts {
  TextView token;
  bool endsLine;       // LastCharCode "10"
  double length;       // TokenLength
  TextView first;      // Text18
  TextView lastChar;   // Text15: the word's last character
  TextView lastThree;  // Text17: the word's last three characters
};

// The LastTokenRule for a line's last token, then the skip tests and the
// mark test that every token reaching them goes through.
TokenFate judgeToken(const TokenParts& t) {
  if (t.endsLine) {
    if (t.length > 4) {
      if (isOneOf(t.first, {u"（", u"("})) return TokenFate::Skipped;
      if (isOneOf(t.lastChar, {u",", u"!"})) return TokenFate::MarkAtLineEnd;
      if (isOneOf(t.lastChar, {u"）", u")", u"～"})) return TokenFate::Skipped;
      if (isOneOf(t.lastThree, {u"sus", u"con"})) return TokenFate::Skipped;
    } else {
      if (isOneOf(t.token.substr(0, 2), {u"de", u"en", u"el", u"la", u"(a", u"su"})) return TokenFate::Skipped;
      if (isOneOf(t.first, {u"?", u"a", u"!", u"y"})) return TokenFate::Skipped;
    }
  }
  if (isStopToken(t.token)) return TokenFate::Skipped;
  if (isOneOf(t.lastThree, {u"ron", u"mos"})) return TokenFate::Skipped;
  if (isOneOf(t.first, {u"（", u"(", u"?", u"!"})) return TokenFate::Skipped;
  if (isOneOf(t.lastChar, {u"）", u")"})) return TokenFate::Skipped;
  if (isOneOf(t.lastChar, {u",", u"!"})) return TokenFate::Mark;
  return TokenFate::Staged;
}

}  // namespace

void FrmLexaro::wireWordImportHandlers() {
  Text15.Change = [this] { Text15_Change(); };
  Text17.Change = [this] { Text17_Change(); };
  Text18.Change = [this] { Text18_Change(); };
  Text78.Change = [this] { Text78_Change(); };
}

// The staging tables are there, empty, from the first start on; a folder
// they cannot be made in is reported when an import needs them.
void FrmLexaro::prepareWordStaging() {
  for (const TableSchema& s : {tables::wordStagingKeys(), tables::wordStagingPool()}) {
    const auto file = app().dataDir() / s.file;
    std::error_code ec;
    if (std::filesystem::exists(file, ec) || ec) continue;
    try {
      createTable(file, s);
    } catch (const std::exception&) {
    }
  }
}

// ImportWordBatch
void FrmLexaro::Command91_Click() { importWordBatch(app().form<FMCT>()); }

// ImportWordBatchWithExamples
void FrmLexaro::Command75_Click() { importWordBatch(app().form<FMCT2>()); }

// --- the pickers ---------------------------------------------------------------

// PickTokenTailChar: a token that ends its line (LastCharCode "10") keeps
// the first n of its last n + 2 characters, the word's tail without CR LF.
void FrmLexaro::keepTokenTail(TextBox& box, int64_t n) {
  const bool endsLine = Text10.text() == u"10";
  box.setText(zuvo::Right(box.text(), endsLine ? n + 2 : n));
  if (endsLine) box.setText(zuvo::Left(box.text(), n));
}

void FrmLexaro::Text15_Change() { keepTokenTail(Text15, 1); }
void FrmLexaro::Text17_Change() { keepTokenTail(Text17, 3); }

// PickTokenFirstChar
void FrmLexaro::Text18_Change() { Text18.setText(zuvo::Left(Text18.text(), 1)); }

// MeasureTokenLength
void FrmLexaro::Text78_Change() { Text25.setText(NumText(Len(Text78.text()))); }

// A work box whose handler is a subroutine: it runs also when the box
// holds the text already, so what it derives always belongs to this text.
void FrmLexaro::writeWorkBox(TextBox& box, TextView t) {
  if (box.text() == t)
    box.runChange();
  else
    box.setText(t);
}

// --- the import ----------------------------------------------------------------

void FrmLexaro::importWordBatch(WordMergeWorker& worker) {
  // The worker's four tables share one commit (its MergeTables).
  BatchTransaction batch{&worker.Data3, &worker.Data4, &worker.Data2, &worker.Data1};
  batch.holdNewRows(worker.Data1, worker.keyRowsHeldBytes);
  batch.holdNewRows(worker.Data2, worker.poolRowsHeldBytes);
  try {
    if (!worker.storesOpen())
      throw std::runtime_error("单词数据文件无法打开：" + app().dataDir().string());
    stageWordLines(worker);
    // End steps: the last staged rows saved, the merge pressed.
    Text25.setText(u"0");
    Text54.setText(u"0");
    Text78.setText(u"");
    worker.Data1.MoveFirst();
    worker.Data2.MoveFirst();
    worker.Command1.setValue(true);  // MergeStagedWords / MergeStagedWordsWithZD4
    batch.commit();
  } catch (const std::exception& e) {
    batch.rollback();
    failImport(e);
  }
  message(u"恭喜您顺利完成批量单词添加！");
  // SentenceRecordDisplay shows the first sentence pair; a table without
  // records has none to move to.
  if (!(Data1.atBOF() && Data1.atEOF())) Data1.MoveFirst();
  if (!(Data2.atBOF() && Data2.atEOF())) Data2.MoveFirst();
}

// The line loop. Each line gives up its fields to Text42, Text43 and (three
// fields) Text46 and leaves only its CR LF in the pane. The lines are read
// where they stand and cut out in one step at the end: nothing sees the pane
// in between, and a large file is not moved once per line.
void FrmLexaro::stageWordLines(WordMergeWorker& worker) {
  const Text& pane = RichTextBox1.text();
  BatchLines lines(pane);
  size_t consumed = 0;
  Text lineEnds;
  while (auto line = lines.next()) {
    Text19.setText(*line);  // LineBuffer
    // A checked file holds its "/" inside each line.
    const size_t slash1 = std::min(line->find(u'/'), line->size());
    Text42.setText(line->substr(0, slash1));  // ClearLoneBlank: a lone blank goes
    TextView rest = line->substr(std::min(slash1 + 1, line->size()));
    if (worker.carriesThirdField()) {
      const size_t slash2 = std::min(rest.find(u'/'), rest.size());
      Text43.setText(rest.substr(0, slash2));
      rest = rest.substr(std::min(slash2 + 1, rest.size()));
      Text46.setText(rest);
    } else {
      Text43.setText(rest);
    }
    const size_t end = static_cast<size_t>(line->data() - pane.data()) + line->size();
    consumed = std::min(end + 2, pane.size());
    lineEnds += TextView(pane).substr(end, consumed - end);
    walkTokens(worker);
  }
  RichTextBox1.setSelStart(0);
  RichTextBox1.setSelLength(static_cast<int64_t>(consumed));
  RichTextBox1.setSelText(lineEnds);
  Text19.setText(u"");
}

// The token walk over the Spanish side in ParseBuffer, which holds the side
// and one final CR LF: a token runs from the caret to the next blank, or to
// the end with the line end. The line's last token is the one that ends in
// that line feed.
void FrmLexaro::walkTokens(WordMergeWorker& worker) {
  RichTextBox2.setText(Text42.text() + Text(CRLF));
  RichTextBox2.setSelStart(0);
  RichTextBox2.setSelLength(0);
  for (;;) {
    RichTextBox2.Span(u" ", true, true);
    Text token = RichTextBox2.SelText();
    writeWorkBox(Text100, token);  // TakeLastCharCode
    // A token ending in a digit gives way to the next one, which is not
    // tested for a digit again.
    if (const double code = Text10.text().empty() ? 0 : Val(Text10.text()); code >= 48 && code <= 57) {
      stepPastSelection();
      RichTextBox2.Span(u" ", true, true);
      token = RichTextBox2.SelText();
      writeWorkBox(Text100, token);  // the code of this token's last character
    }
    writeWorkBox(Text78, token);  // MeasureTokenLength
    writeWorkBox(Text15, token);
    writeWorkBox(Text17, token);
    writeWorkBox(Text18, token);
    Text77.setText(token);
    const bool endsLine = Text10.text() == u"10";
    const double length = Val(Text25.text());
    const TokenFate fate =
        judgeToken({token, endsLine, length, Text18.text(), Text15.text(), Text17.text()});
    if (fate == TokenFate::Staged) stageKeyToken(worker, token, endsLine);
    if (fate == TokenFate::Mark || fate == TokenFate::MarkAtLineEnd) {
      // Text77 shows the word without its mark; nothing takes it from there.
      Text77.setSelStart(0);
      Text77.setSelLength(std::max<int64_t>(0, static_cast<int64_t>(length) - (fate == TokenFate::Mark ? 1 : 3)));
    }
    if (endsLine) return;
    stepPastSelection();
  }
}

// Extends the selection over the blank after it and writes it back
// unchanged: the caret stands at the start of the next token.
void FrmLexaro::stepPastSelection() {
  RichTextBox2.setSelLength(RichTextBox2.SelLength() + 1);
  RichTextBox2.setSelText(RichTextBox2.SelText());
}

// One staged row in each staging table, the key token with the line's
// fields. A line's last word is staged without its line end, so that it is
// found by typing it; a token that is empty or only the line end is no key.
void FrmLexaro::stageKeyToken(WordMergeWorker& worker, TextView token, bool endsLine) {
  const TextView key = endsLine && token.ends_with(CRLF) ? token.substr(0, token.size() - 2) : token;
  if (key.empty()) return;
  worker.Data1.AddNew();
  worker.Data2.AddNew();
  worker.Text1.setText(key);
  worker.Text4.setText(key);
  worker.Text2.setText(Text42.text());
  worker.Text5.setText(Text42.text());
  worker.Text3.setText(Text43.text());
  worker.Text6.setText(Text43.text());
  if (worker.carriesThirdField()) {
    worker.Text13.setText(Text46.text());
    worker.Text14.setText(Text46.text());
  }
}

}  // namespace zuvo
