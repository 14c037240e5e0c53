#pragma once
// The gestures that save, made as a user makes them: an entry panel opened,
// a lookup typed, a batch file opened in batch mode or in the place window.

#include <string>

#include "support/dictionary.h"
#include "support/places.h"

namespace zuvo::testing {

class SaveGestures : public ProgramTest {
 public:
  using ProgramTest::click;
  using ProgramTest::dir;
  using ProgramTest::p;
  using ProgramTest::type;
  using ProgramTest::user;
  using ProgramTest::w;

  void openPanel(CommandButton& button) {
    if (w().Command1.Caption != u"关闭(&K)") click(w().Command1);
    click(button);
  }
  void lookUp(TextView input) {
    p->event([&] { w().RichTextBox16.setText(u""); });
    type(w().RichTextBox16, input);
  }
  // The entry panels opened and filled in as the user fills them.
  void fillSentencePanel(TextView zh, TextView es) {
    openPanel(w().Command55);
    type(w().Text44, zh);
    type(w().Text45, es);
  }
  void fillVerbPanel(TextView verb, TextView meaning) {
    openPanel(w().Command56);
    click(w().Label7);
    type(w().Text72, verb);
    type(w().Text42, meaning);
  }
  void fillWordPanel(TextView word, TextView west, TextView meaning) {
    openPanel(w().Command81);
    click(w().Label7);
    type(w().Text102, word);
    type(w().Text43, west);
    type(w().Text42, meaning);
  }
  // The place window's single-entry panel opened and filled in.
  void fillPlacePanel(TextView zh, TextView west) {
    click(places().Command33);
    click(places().Command35);
    type(places().Text12, zh);
    type(places().Text13, west);
  }
  // Batch mode on and the file opened by the button's first press.
  void batchFile(CommandButton& button, const std::string& bytes) {
    if (!button.Visible) click(w().Command11);
    if (!button.Visible) click(w().Command11);
    ASSERT_TRUE(button.Visible);
    const auto file = files.path() / "lines.txt";
    writeBytes(file, bytes);
    p->dialogs().fileAnswers.push_back(fromUtf8(file.string()));
    click(button);
    ASSERT_TRUE(w().RichTextBox1.Visible);
  }
  frm世界地名& places() {
    if (!places_) places_ = openPlaces(*p);
    return *places_;
  }
  // The place window's batch panel opened on a file.
  void placeFile(const std::string& bytes) {
    const auto file = files.path() / "places.txt";
    writeBytes(file, bytes);
    p->dialogs().fileAnswers.push_back(fromUtf8(file.string()));
    click(places().Command33);
    click(places().Command3);
    ASSERT_TRUE(places().RichTextBox4.Visible);
  }

  TempDir files;

 private:
  frm世界地名* places_ = nullptr;
};

}  // namespace zuvo::testing
