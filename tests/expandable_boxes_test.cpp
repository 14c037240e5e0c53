// The expandable boxes of the entry panels and the verb view: each box
// pressed twice gives back the layout its panel or view opened with.

#include <gtest/gtest.h>

#include "app/FrmLexaro.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

struct Place {
  float left, top, width, height;
  bool visible;
  bool operator==(const Place&) const = default;
};
Place placeOf(const Control& c) { return {c.Left, c.Top, c.Width, c.Height, c.Visible}; }

class ExpandableBoxesTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() {
    writeSuiteDictionary({{u"狗在房子里。", u"El perro está en la casa."}}, {{u"comer", u"吃", u"Como pan."}});
  }
  void click(Control& c) { ASSERT_TRUE(p.user().click(c)) << c.name(); }
  void doubleClick(Control& c) { ASSERT_TRUE(p.user().doubleClick(c, 0)) << c.name(); }
  std::vector<Place> places(std::initializer_list<const Control*> cs) {
    std::vector<Place> out;
    for (const Control* c : cs) out.push_back(placeOf(*c));
    return out;
  }
  bool inFront(const Control& above, const Control& below) {
    const auto& order = w.stacking();
    return std::find(order.begin(), order.end(), &above) > std::find(order.begin(), order.end(), &below);
  }
  // The verb entry panel and the word add panel, opened from add mode.
  void openVerbEntryPanel() {
    click(w.Command1);
    click(w.Command56);
    ASSERT_TRUE(w.Text72.Visible);
  }
  void openWordAddPanel() {
    click(w.Command1);
    click(w.Command81);
    ASSERT_TRUE(w.Text102.Visible);
  }
};

TEST_F(ExpandableBoxesTest, SentencePanelBoxesGrowOverEachOtherAndComeBack) {
  struct Panel {
    const char* name;
    TextBox *upper, *lower;
  };
  click(w.Command24);  // the edit panel
  ASSERT_TRUE(w.Text40.Visible);
  for (const Panel& panel : {Panel{"edit", &w.Text40, &w.Text41}}) {
    SCOPED_TRACE(panel.name);
    const auto opening = places({panel.upper, panel.lower});
    doubleClick(*panel.upper);
    EXPECT_EQ(panel.upper->Height, 4520);
    EXPECT_TRUE(inFront(*panel.upper, *panel.lower));
    EXPECT_TRUE(panel.upper->hasFocus());
    doubleClick(*panel.upper);
    EXPECT_EQ(places({panel.upper, panel.lower}), opening);

    EXPECT_EQ(w.Label5.Caption(), u"  输入中文句子的全文内容:");
    doubleClick(*panel.lower);
    EXPECT_EQ(panel.lower->Top, 420.212f);
    EXPECT_EQ(panel.lower->Height, 4520);
    EXPECT_TRUE(inFront(*panel.lower, *panel.upper));
    EXPECT_EQ(w.Label5.Caption(), u"  输入西文句子的全文内容:");
    doubleClick(*panel.lower);
    EXPECT_EQ(places({panel.upper, panel.lower}), opening);
    // Kept as the window gives it: the prompt no longer reads as it opened.
    EXPECT_EQ(w.Label5.Caption(), u"  输入中文子句的全文内容:");
    EXPECT_TRUE(panel.lower->hasFocus());
  }
}

TEST_F(ExpandableBoxesTest, SentenceAddPanelBoxesToo) {
  click(w.Command1);
  click(w.Command55);
  ASSERT_TRUE(w.Text44.Visible);
  const auto opening = places({&w.Text44, &w.Text45});
  for (TextBox* b : {&w.Text44, &w.Text45}) {
    doubleClick(*b);
    EXPECT_EQ(b->Height, 4520) << b->name();
    doubleClick(*b);
    EXPECT_EQ(places({&w.Text44, &w.Text45}), opening) << b->name();
  }
}

TEST_F(ExpandableBoxesTest, VerbEntryPanelBoxesTwiceGiveBackTheOpeningLayout) {
  openVerbEntryPanel();
  const auto opening = places({&w.Text42, &w.Text114, &w.Text119, &w.Text116});
  for (TextBox* b : {&w.Text42, &w.Text116, &w.Text114, &w.Text119}) {
    SCOPED_TRACE(b->name());
    doubleClick(*b);
    EXPECT_NE(places({&w.Text42, &w.Text114, &w.Text119, &w.Text116}), opening);
    doubleClick(*b);
    EXPECT_EQ(places({&w.Text42, &w.Text114, &w.Text119, &w.Text116}), opening);
  }
  doubleClick(w.Text42);
  EXPECT_EQ(w.Text42.Height, 3610);
  EXPECT_TRUE(inFront(w.Text42, w.Text116));
  doubleClick(w.Text42);
  doubleClick(w.Text119);  // both side boxes over the examples box, which hides
  EXPECT_EQ(placeOf(w.Text114), (Place{220.02f, 2560, 9460, 1150, true}));
  EXPECT_EQ(placeOf(w.Text119), (Place{220.02f, 3760, 9460, 1170, true}));
  EXPECT_FALSE(w.Text116.Visible);
}

TEST_F(ExpandableBoxesTest, VerbEntryPanelExpansionsCombine) {
  openVerbEntryPanel();
  // The meaning box brings expanded side boxes back first.
  doubleClick(w.Text114);
  doubleClick(w.Text42);
  EXPECT_EQ(w.Text114.Width, 2700);
  EXPECT_EQ(w.Text119.Left, 6990.65f);
  // Collapsing it resets an expanded examples box and shows it.
  doubleClick(w.Text42);
  EXPECT_EQ(placeOf(w.Text116), (Place{220.02f, 2560, 6700, 2380, true}));

  // An expanded examples box hidden by the side boxes comes back expanded.
  doubleClick(w.Text116);
  ASSERT_EQ(w.Text116.Height, 3610);
  p.event([&] { w.Text114.ZOrder(); });
  doubleClick(w.Text114);
  EXPECT_FALSE(w.Text116.Visible);
  doubleClick(w.Text114);
  EXPECT_EQ(placeOf(w.Text116), (Place{220.02f, 1320, 6700, 3610, true}));
}

TEST_F(ExpandableBoxesTest, WordAddPanelWordAndMeaningGrowTogether) {
  openWordAddPanel();
  const auto opening = places({&w.Text42, &w.Text43, &w.Text116, &w.Text102});
  for (TextBox* b : {&w.Text42, &w.Text43, &w.Text116}) {
    SCOPED_TRACE(b->name());
    doubleClick(*b);
    EXPECT_NE(places({&w.Text42, &w.Text43, &w.Text116, &w.Text102}), opening);
    doubleClick(*b);
    EXPECT_EQ(places({&w.Text42, &w.Text43, &w.Text116, &w.Text102}), opening);
  }
  doubleClick(w.Text43);
  EXPECT_EQ(w.Text43.Height, 3230);
  EXPECT_EQ(w.Text42.Height, 3630);
  EXPECT_FALSE(w.Text116.Visible);
  doubleClick(w.Text42);  // finds Text42 expanded: both collapse
  EXPECT_EQ(places({&w.Text42, &w.Text43, &w.Text116, &w.Text102}), opening);
  doubleClick(w.Text116);
  EXPECT_EQ(w.Text116.Height, 2540);
}

TEST_F(ExpandableBoxesTest, VerbViewBoxesAndTheGerundAndParticipleClicks) {
  ASSERT_TRUE(p.user().type(w.RichTextBox16, u"comer"));
  ASSERT_TRUE(w.Text92.Visible);
  const auto opening = places({&w.Text26, &w.Text27, &w.Text90, &w.Text91, &w.Text96, &w.Text97});
  auto now = [&] { return places({&w.Text26, &w.Text27, &w.Text90, &w.Text91, &w.Text96, &w.Text97}); };
  for (TextBox* b : {&w.Text26, &w.Text27}) {
    doubleClick(*b);
    EXPECT_EQ(w.Text26.Width, 9460);
    EXPECT_EQ(w.Text27.Left, 220.02f);
    EXPECT_FALSE(w.Text90.Visible);
    doubleClick(*b);
    EXPECT_EQ(now(), opening) << b->name();
  }
  click(w.Text96);
  EXPECT_EQ(w.Text96.Width, 2700);
  EXPECT_TRUE(w.Command21.hasFocus());
  click(w.Text96);
  EXPECT_EQ(now(), opening);
  // The participle widens leftwards, over the gerund.
  click(w.Text97);
  EXPECT_EQ(placeOf(w.Text97), (Place{6990.65f, 2150, 2700, 300, true}));
  EXPECT_TRUE(w.Command21.hasFocus());
  click(w.Text97);
  EXPECT_EQ(now(), opening);
  // An expanded gerund covers the participle whole; its handler still puts
  // it in front.
  click(w.Text96);
  p.event([&] { w.Text97_Click(); });
  EXPECT_EQ(placeOf(w.Text97), (Place{6990.65f, 2150, 2700, 300, true}));
  EXPECT_TRUE(inFront(w.Text97, w.Text96));

  // A double-click on the example text keeps the text and drops the selection.
  ASSERT_TRUE(p.user().doubleClick(w.Text90, 1));
  EXPECT_EQ(w.Text90.text(), u"Como pan.");
  EXPECT_EQ(w.Text90.SelLength(), 0);
  EXPECT_EQ(w.Text90.SelStart(), 4);
}

}  // namespace
}  // namespace zuvo
