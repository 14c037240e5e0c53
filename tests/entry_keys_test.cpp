// The keys of the entry boxes: Ctrl and a letter for the Spanish letters, the
// lone blank that empties a box, and "?" turned into "ň" in the synonym box.

#include <gtest/gtest.h>

#include "app/FrmLexaro.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

class EntryKeysTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() { writeSuiteDictionary({{u"你好。", u"Hola."}}, {{u"hablar", u"说", u"Hablo."}}); }
  User& user() { return p.user(); }

  void click(Control& c) { ASSERT_TRUE(user().click(c)) << c.name(); }

  // Brings a box within the user's reach the way its panel or view does.
  void reach(TextBox& box) {
    if (&box == &w.Text44 || &box == &w.Text45) {
      click(w.Command1);
      click(w.Command55);
    } else if (&box == &w.Text40 || &box == &w.Text41) {
      click(w.Command24);
    } else if (&box == &w.Text26 || &box == &w.Text27) {
      ASSERT_TRUE(user().type(w.RichTextBox16, u"hablar"));  // the verb view
    } else {
      // A box of the verb entry or word add panel, or the word view's editor.
      p.event([&] {
        box.Left = 220.02f, box.Top = 1320, box.Width = 6700, box.Height = 1180;
        box.ZOrder();
        box.Visible = true;
      });
    }
    ASSERT_TRUE(box.reachable()) << box.name();
  }
  // Empties the box as the user does.
  void clear(TextBox& box) {
    ASSERT_TRUE(user().select(box, 0, Len(box.text())));
    ASSERT_TRUE(user().pressKey(box, kKeyDelete));
  }
  void ctrl(TextBox& box, TextView letters) {
    for (char16_t c : letters) ASSERT_TRUE(user().ctrlKey(box, static_cast<char>(c)));
  }
};

// The boxes whose key release types the Spanish letters, each a multi-line box.
std::vector<TextBox*> accentBoxes(FrmLexaro& w) {
  return {&w.Text26, &w.Text27, &w.Text39, &w.Text41, &w.Text42, &w.Text45, &w.Text116, &w.Text119};
}

TEST_F(EntryKeysTest, EveryCtrlLetterTypesItsSpanishLetterAtTheCaret) {
  for (size_t i = 0; i < accentBoxes(w).size(); ++i) {
    TextBox& box = *accentBoxes(w)[i];
    SCOPED_TRACE(box.name());
    p.event([&] { w.Command20_Click(); });
    reach(box);
    clear(box);
    ASSERT_TRUE(user().type(box, u"ab"));
    ctrl(box, u"aeiounp");
    EXPECT_EQ(box.text(), u"abáéíóúňü");  // Ctrl+I leaves no TAB behind
    EXPECT_EQ(box.SelStart(), 9);
    // In the middle of a word the letter goes in at the caret.
    ASSERT_TRUE(user().click(box, 1));
    ctrl(box, u"e");
    EXPECT_EQ(box.text(), u"aébáéíóúňü");
    EXPECT_EQ(box.SelStart(), 2);
    // Over a selection it replaces the selected letters.
    ASSERT_TRUE(user().select(box, 3, 3));
    ctrl(box, u"e");
    EXPECT_EQ(box.text(), u"aébéóúňü");
    EXPECT_EQ(box.SelStart(), 4);
  }
}

TEST_F(EntryKeysTest, OtherShiftStatesAndKeysTypeNothingExtra) {
  const std::pair<int, int> keys[] = {
      {'A', kCtrlMask | kShiftMask}, {'A', kAltMask}, {'A', 0}, {'E', kCtrlMask | kAltMask}, {'B', kCtrlMask},
      {'Z', kCtrlMask},              {kKeyEnd, kCtrlMask}};
  for (TextBox* box : {&w.Text41, &w.Text26, &w.Text116}) {
    SCOPED_TRACE(box->name());
    p.event([&] { w.Command20_Click(); });
    reach(*box);
    clear(*box);
    ASSERT_TRUE(user().type(*box, u"sin"));
    for (auto [code, shift] : keys) {
      SCOPED_TRACE(code);
      ASSERT_TRUE(user().pressKey(*box, code, shift));
      EXPECT_EQ(box->text(), u"sin");
    }
  }
}

TEST_F(EntryKeysTest, CtrlIRemovesOnlyTheTabItTyped) {
  reach(w.Text42);
  // A TAB the user had before the caret stays; the one the key typed goes.
  p.event([&] { w.Text42.setText(u"a\tb"); });
  ASSERT_TRUE(user().click(w.Text42, 2));
  ctrl(w.Text42, u"i");
  EXPECT_EQ(w.Text42.text(), u"a\tíb");

  // A key release whose press typed nothing (pressed while another control
  // had the focus) removes nothing, wherever the caret stands.
  struct Case {
    const char* name;
    Text text;
    int64_t caret;
    Text expected;
  };
  const Case cases[] = {{"after a letter", u"ab", 1, u"aíb"},
                        {"after the user's TAB", u"a\tb", 2, u"a\tíb"},
                        {"at the start", u"ab", 0, u"íab"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.event([&] {
      w.Text42.setText(c.text);
      w.Text42.setSelStart(c.caret);
      int code = 'I';
      w.Text42.KeyUp(code, kCtrlMask);
    });
    EXPECT_EQ(w.Text42.text(), c.expected);
  }
}

TEST_F(EntryKeysTest, ALoneBlankEmptiesTheBoxButTwoBlanksStay) {
  struct Case {
    TextBox& box;
    TextView input;
    bool pasted;
    TextView expected;
  };
  const Case cases[] = {
      {w.Text42, u" ", false, u""},   {w.Text42, u"  ", true, u"  "},  {w.Text42, u"a ", false, u"a "},
      {w.Text119, u" ", false, u""},  {w.Text119, u"  ", true, u"  "}, {w.Text114, u" ", false, u""},
      {w.Text114, u" ", true, u""},   {w.Text116, u" ", false, u""},   {w.Text44, u" ", false, u""},
      {w.Text45, u" ", false, u""},   {w.Text40, u" ", false, u""},    {w.Text41, u" ", false, u""},
      {w.Text45, u" a", false, u"a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box.name() + " '" + toUtf8(c.input) + (c.pasted ? "' pasted" : "' typed"));
    p.event([&] { w.Command20_Click(); });
    reach(c.box);
    clear(c.box);
    ASSERT_TRUE(c.pasted ? user().paste(c.box, c.input) : user().type(c.box, c.input));
    EXPECT_EQ(c.box.text(), c.expected);
    EXPECT_TRUE(c.box.hasFocus());
  }
}

TEST_F(EntryKeysTest, TheExamplesBoxIsClearedOfBlanksOnAKeyReleaseNotOnAPaste) {
  reach(w.Text116);
  ASSERT_TRUE(user().paste(w.Text116, u"  "));
  EXPECT_EQ(w.Text116.text(), u"  ");
  ASSERT_TRUE(user().pressKey(w.Text116, kKeyEnd));
  EXPECT_EQ(w.Text116.text(), u"");
}

TEST_F(EntryKeysTest, ALoneBlankWrittenIntoAHiddenBoxIsEmptiedAndTheFocusStays) {
  ASSERT_TRUE(w.RichTextBox16.hasFocus());
  p.event([&] {
    w.Text42.setText(u" ");  // a batch import's field buffer
    w.Text119.setText(u" ");
  });
  EXPECT_EQ(w.Text42.text(), u"");
  EXPECT_EQ(w.Text119.text(), u"");
  EXPECT_TRUE(w.RichTextBox16.hasFocus());
}

TEST_F(EntryKeysTest, QuestionMarksInTheSynonymBoxBecomeEnye) {
  reach(w.Text114);
  ASSERT_TRUE(user().paste(w.Text114, u"¿ni?o? y ni?a, ñu"));
  EXPECT_EQ(w.Text114.text(), u"¿niňoň y niňa, ñu");
  EXPECT_EQ(w.Text114.SelStart(), 12);  // after the last one replaced
  ASSERT_TRUE(user().type(w.Text114, u"?"));
  EXPECT_EQ(w.Text114.text(), u"¿niňoň y niňňa, ñu");
  // Written by code, as a verb import fills it.
  p.event([&] { w.Text114.setText(u"a?b?"); });
  EXPECT_EQ(w.Text114.text(), u"aňbň");
}

}  // namespace
}  // namespace zuvo
