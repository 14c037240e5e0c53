#include "entries/FMff.h"

#include <cassert>

#include "app/FrmLexaro.h"
#include "platform/design.h"

namespace zuvo {

namespace {

constexpr DesignRow kDesign[] = {
    {.name = "Text94", .left = 120, .top = 120, .width = 1800, .height = 300},
    {.name = "Text134", .left = 2040, .top = 120, .width = 900, .height = 300},
    {.name = "Text135", .left = 3060, .top = 120, .width = 1800, .height = 300},
    {.name = "Text67", .left = 4980, .top = 120, .width = 600, .height = 300, .text = u"0"},
    {.name = "RichTextBox1", .left = 120, .top = 540, .width = 1000, .height = 300},
    {.name = "RichTextBox2", .left = 1260, .top = 540, .width = 1000, .height = 300},
    {.name = "RichTextBox3", .left = 2400, .top = 540, .width = 1000, .height = 300},
    {.name = "RichTextBox4", .left = 3540, .top = 540, .width = 1000, .height = 300},
    {.name = "Text59", .left = 120, .top = 960, .width = 1800, .height = 300},
    {.name = "Text73", .left = 2040, .top = 960, .width = 600, .height = 300},
    {.name = "Text51", .left = 2760, .top = 960, .width = 1800, .height = 300},
    {.name = "Text69", .left = 4680, .top = 960, .width = 600, .height = 300},
    {.name = "Text52", .left = 120, .top = 1380, .width = 1800, .height = 300},
    {.name = "Text70", .left = 2040, .top = 1380, .width = 600, .height = 300},
    {.name = "Text53", .left = 2760, .top = 1380, .width = 1800, .height = 300},
    {.name = "Text72", .left = 4680, .top = 1380, .width = 600, .height = 300},
    {.name = "Text56", .left = 120, .top = 1800, .width = 1800, .height = 300},
    {.name = "Text1", .left = 2040, .top = 1800, .width = 1800, .height = 300},
    {.name = "Text2", .left = 3960, .top = 1800, .width = 600, .height = 300},
    {.name = "Command1", .left = 120, .top = 2280, .width = 900, .height = 360, .text = u"1"},
    {.name = "Command6", .left = 1080, .top = 2280, .width = 900, .height = 360, .text = u"6"},
    {.name = "Command3", .left = 2040, .top = 2280, .width = 900, .height = 360, .text = u"Command3"},
    {.name = "Command4", .left = 3000, .top = 2280, .width = 900, .height = 360, .text = u"Command4"},
    {.name = "Command2", .left = 3960, .top = 2280, .width = 900, .height = 360, .text = u"Command2"},
    {.name = "Command5", .left = 4920, .top = 2280, .width = 900, .height = 360, .text = u"5"},
};

}  // namespace

FMff::FMff(Application& app) : Window(app, "FMff") {
  Caption = u"分词/副动词";
  Width = 6000;
  Height = 2900;
  applyDesign(*this, kDesign);

  Text94.Change = [this] { Text94_Change(); };
  Text1.Change = [this] { Text1_Change(); };
  Text134.Change = [this] { keepLast(Text134, 2); };
  RichTextBox1.Change = [this] { keepLast(RichTextBox1, 2); };
  RichTextBox2.Change = [this] { keepLast(RichTextBox2, 3); };
  RichTextBox3.Change = [this] { keepLast(RichTextBox3, 4); };
  RichTextBox4.Change = [this] { keepLast(RichTextBox4, 5); };
  Text59.Change = [this] { writeLength(Text59, Text73); };
  Text51.Change = [this] { writeLength(Text51, Text69); };
  Text52.Change = [this] { writeLength(Text52, Text70); };
  Text53.Change = [this] { writeLength(Text53, Text72); };

  Command1.Click = [this] { Command1_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command6.Click = [this] { Command6_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command5.Click = [this] { Command5_Click(); };
}

// --- Preparing the parts of the infinitive -----------------------------------

void FMff::Text94_Change() {
  Text135.setText(Text94.text());
  Text67.setText(NumText(Len(Text94.text())));
  Text67.setText(NumText(static_cast<int64_t>(Val(Text67.text())) - 2));
  if (!Text135.text().empty()) cutToFirst(Text135, static_cast<int64_t>(Val(Text67.text())));

  Text134.setText(Text94.text());

  const Text bare = bareInfinitive();
  RichTextBox1.setText(bare);
  RichTextBox2.setText(bare);
  RichTextBox3.setText(bare);
  RichTextBox4.setText(bare);
  Text51.setText(bare);
  Text52.setText(bare);
  Text53.setText(bare);
  Text59.setText(bare);
  Text56.setText(bare);

  Command5_Click();  // SplitVerbStems, the hidden button's Click called as a subroutine
}

// A stem whose cut would take the whole word or more keeps the bare
// infinitive as written; no ending that needs it can match so short a word.
void FMff::Command5_Click() {
  const int64_t length = Len(bareInfinitive());
  if (length == 0) return;
  if (Text69.text() != u"2") cutToFirst(Text51, length - 3);
  if (Text70.text() != u"2" && Text70.text() != u"3") cutToFirst(Text52, length - 4);
  if (Text72.text() != u"2" && Text72.text() != u"3" && Text72.text() != u"4") {
    cutToFirst(Text53, length - 5);
  }
  cutToFirst(Text59, length - 2);
}

Text FMff::bareInfinitive() const {
  return Text134.text() == u"se" ? Text135.text() : Text94.text();
}

void FMff::cutToFirst(TextBox& box, int64_t n) {
  box.setSelStart(0);
  box.setSelLength(n < 0 ? 0 : n);
  box.setText(box.SelText());
}

void FMff::keepLast(TextBox& box, int64_t n) { box.setText(Right(box.text(), n)); }

void FMff::writeLength(const TextBox& of, TextBox& into) { into.setText(NumText(Len(of.text()))); }

// --- Requests ----------------------------------------------------------------

void FMff::Text1_Change() { Text2.setText(NumText(Len(Text1.text()))); }

// Runs after every key release in the entry panel's infinitive box; a text
// of fewer than two characters gets no forms, and the preview keeps the
// last forms it showed.
void FMff::Command2_Click() {
  Text1.setText(entryPanelInfinitive());
  if (StrComp(Text2.text(), u"1") <= 0) {
    Text2.setText(u"0");
    return;
  }
  Text94.setText(entryPanelInfinitive());
  Command3.setValue(true);
  Command4.setValue(true);
}

void FMff::Command1_Click() { setIrregularForms(lexaro().Text97, lexaro().Text96); }

void FMff::Command3_Click() { setIrregularForms(lexaro().Text118, lexaro().Text117); }

void FMff::Command6_Click() { setRegularForms(lexaro().Text97, lexaro().Text96); }

void FMff::Command4_Click() { setRegularForms(lexaro().Text118, lexaro().Text117); }

// --- The rules -----------------------------------------------------------------

// The irregular verbs compare the request as written, so a reflexive form
// never matches one; the ending patterns look at the bare infinitive.
void FMff::setIrregularForms(TextBox& participle, TextBox& gerund) {
  for (const IrregularVerb& verb : irregularVerbTable()) {
    if (Text94.text() == verb.infinitive) {
      writeForms(verb.participle, verb.gerund, participle, gerund);
      Text56.setText(u"");
      return;
    }
  }
  for (const VerbEndingPattern& pattern : verbEndingPatterns()) {
    if (endingBox(pattern.endingLength).text() == pattern.ending) {
      writeForms(pattern.participle, pattern.gerund, participle, gerund);
      Text56.setText(u"");
      return;
    }
  }
}

void FMff::setRegularForms(TextBox& participle, TextBox& gerund) {
  if (Text56.text().empty()) return;
  for (const VerbEndingPattern& ending : regularVerbEndings()) {
    if (endingBox(ending.endingLength).text() == ending.ending) {
      writeForms(ending.participle, ending.gerund, participle, gerund);
      return;
    }
  }
}

void FMff::writeForms(const VerbForm& participle, const VerbForm& gerund, TextBox& participleBox,
                      TextBox& gerundBox) {
  participleBox.setText(buildForm(participle));
  gerundBox.setText(buildForm(gerund));
}

Text FMff::buildForm(const VerbForm& form) const {
  if (form.stemCut == 0) return Text(form.text);
  return stemBox(form.stemCut).text() + Text(form.text);
}

const TextBox& FMff::stemBox(int stemCut) const {
  switch (stemCut) {
    case 2: return Text59;
    case 3: return Text51;
    case 4: return Text52;
    case 5: return Text53;
  }
  assert(false && "a verb form names no stem");
  return Text59;
}

const RichTextBox& FMff::endingBox(int endingLength) const {
  switch (endingLength) {
    case 2: return RichTextBox1;
    case 3: return RichTextBox2;
    case 4: return RichTextBox3;
    case 5: return RichTextBox4;
  }
  assert(false && "an ending pattern names no ending box");
  return RichTextBox1;
}

// --- The main window ---------------------------------------------------------

FrmLexaro& FMff::lexaro() const { return app().form<FrmLexaro>(); }

Text FMff::entryPanelInfinitive() const { return lexaro().Text72.text(); }

}  // namespace zuvo
