#pragma once
// The hidden worker window that derives the participle and gerund of an
// infinitive for the main window. It is never shown: the main window writes
// the infinitive into its boxes and presses one of its buttons, and the
// forms are in the main window's boxes when the press returns.
//
// The stored request: write the infinitive into Text94, press Command1,
// press Command6; the forms land in FrmLexaro.Text97 (participle) and
// FrmLexaro.Text96 (gerund). The preview: press Command2, which reads the
// verb entry panel's FrmLexaro.Text72 and writes FrmLexaro.Text118 and
// FrmLexaro.Text117.
//
// Its state lives in its boxes and lasts from one request to the next; a
// request for the text Text94 already holds reuses the parts prepared then.

#include "entries/verb_forms_data.h"
#include "platform/application.h"
#include "platform/control.h"
#include "platform/rich_text_box.h"
#include "platform/window.h"

namespace zuvo {

class FrmLexaro;

class FMff : public Window {
 public:
  explicit FMff(Application& app);

  TextBox Text94{*this, "Text94"};    // the request: the infinitive as the caller wrote it, "se" included
  TextBox Text134{*this, "Text134"};  // the last two characters of Text94
  TextBox Text135{*this, "Text135"};  // Text94 without its last two characters
  TextBox Text67{*this, "Text67"};    // the length of Text94 less 2

  // The last 2, 3, 4 and 5 letters of the bare infinitive (Text94 without a
  // final "se").
  RichTextBox RichTextBox1{*this, "RichTextBox1"};
  RichTextBox RichTextBox2{*this, "RichTextBox2"};
  RichTextBox RichTextBox3{*this, "RichTextBox3"};
  RichTextBox RichTextBox4{*this, "RichTextBox4"};

  // The stems: the bare infinitive without its last 2, 3, 4 and 5 letters,
  // each with the box holding its length.
  TextBox Text59{*this, "Text59"};
  TextBox Text73{*this, "Text73"};
  TextBox Text51{*this, "Text51"};
  TextBox Text69{*this, "Text69"};
  TextBox Text52{*this, "Text52"};
  TextBox Text70{*this, "Text70"};
  TextBox Text53{*this, "Text53"};
  TextBox Text72{*this, "Text72"};

  // NotHandledFlag: the bare infinitive until an irregular verb or an ending
  // pattern has written the forms, then empty; the regular rule runs only
  // while it is set.
  TextBox Text56{*this, "Text56"};

  TextBox Text1{*this, "Text1"};  // a text whose length a caller wants tested
  TextBox Text2{*this, "Text2"};  // the length of Text1, or "0" once a test failed

  CommandButton Command1{*this, "Command1"};  // irregular forms into the verb record
  CommandButton Command6{*this, "Command6"};  // regular forms into the verb record
  CommandButton Command3{*this, "Command3"};  // irregular forms into the entry panel preview
  CommandButton Command4{*this, "Command4"};  // regular forms into the entry panel preview
  CommandButton Command2{*this, "Command2"};  // preview of the entry panel's infinitive
  CommandButton Command5{*this, "Command5"};  // cuts the stems

 private:
  // PrepareVerbParts: the ending boxes, the stems and the NotHandledFlag
  // from the new request.
  void Text94_Change();
  // SplitVerbStems.
  void Command5_Click();
  // MeasureVerbLength.
  void Text1_Change();
  // PreviewVerbForms.
  void Command2_Click();
  void Command1_Click();
  void Command3_Click();
  void Command6_Click();
  void Command4_Click();

  // Tries the irregular verbs, then the ending patterns; the first that
  // matches writes both forms and clears the NotHandledFlag.
  void setIrregularForms(TextBox& participle, TextBox& gerund);
  // The regular rule on the last two letters, while the NotHandledFlag is set.
  void setRegularForms(TextBox& participle, TextBox& gerund);
  void writeForms(const VerbForm& participle, const VerbForm& gerund, TextBox& participleBox,
                  TextBox& gerundBox);
  Text buildForm(const VerbForm& form) const;

  Text bareInfinitive() const;
  // Selects the box's first n characters and writes them back; a text
  // shorter than what is cut off leaves nothing.
  static void cutToFirst(TextBox& box, int64_t n);
  // The box keeps only the last n characters of what was written into it.
  static void keepLast(TextBox& box, int64_t n);
  // The box holds the length of the text of another box.
  static void writeLength(const TextBox& of, TextBox& into);

  const TextBox& stemBox(int stemCut) const;
  const RichTextBox& endingBox(int endingLength) const;

  FrmLexaro& lexaro() const;
  // The infinitive box of the verb entry panel.
  Text entryPanelInfinitive() const;
};

}  // namespace zuvo
