// The world place-name window: its views and the map, the moves of the
// place table, the type-ahead jump, Buscar with its listing, the result
// lists and links, the single add and modify mode, over a few places.

#include <gtest/gtest.h>

#include "support/dictionary.h"
#include "support/places.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

const std::vector<PlaceRow> kPlaces = {
    {u"亚洲", u"Asia", u"世界最大的洲"},
    {u"中国【中华人民共和国】", u"China", u"位于亚洲东部", u"Asia", u"Beijing"},
    {u"北京", u"Beijing", u"中国的首都", u"China"},
    {u"西班牙", u"España", u"位于欧洲西南部", u"Europa", u"Madrid"},
    {u"马德里", u"Madrid", u"西班牙的首都", u"España"},
    {u"巴塞罗那", u"Barcelona", u"西班牙第二大城市", u"España"},
};

// Rows of a place table read straight from its file.
std::vector<std::vector<std::string>> fileRows(const std::filesystem::path& file, const std::string& cols) {
  return tableCells(file, "SELECT " + cols + " FROM \"表1\" ORDER BY ID", {.null = ""});
}

class PlacesTest : public PlaceWindowTest {
 protected:
  void start(const std::vector<PlaceRow>& places = kPlaces) { PlaceWindowTest::start(places); }
  void pickRow(DataGrid& g, int64_t row) { ASSERT_TRUE(user().mouseDown(g, {}, row)); }
  // Clicks a line of a result list, as the user puts the caret there.
  void clickList(RichTextBox& list, int64_t caret) { ASSERT_TRUE(user().click(list, caret)); }
  void buscar() { ASSERT_TRUE(user().click(w->Command39)); }
  void search(TextView t) {
    ASSERT_TRUE(user().type(w->Text9, t));
  }
  std::vector<Text> gridCol(const DataGrid& g) {
    std::vector<Text> out;
    for (int64_t r = 0; r < g.Rows(); ++r) out.push_back(g.cell(r));
    return out;
  }
  std::filesystem::path file(const char* name) { return dir.path() / name; }
};

// --- the window at start and the moves of the place table -------------------------

TEST_F(PlacesTest, OpensOnTheFirstPlaceInTheGridView) {
  start();
  EXPECT_EQ(w->Caption, u" 世界地名");
  EXPECT_TRUE(w->Visible());
  EXPECT_EQ(gridCol(w->DBGrid1), (std::vector<Text>{u"亚洲", u"中国【中华人民共和国】", u"北京", u"西班牙",
                                                    u"马德里", u"巴塞罗那"}));
  EXPECT_EQ(gridCol(w->DBGrid2),
            (std::vector<Text>{u"Asia", u"China", u"Beijing", u"España", u"Madrid", u"Barcelona"}));
  EXPECT_EQ(w->Text5.text(), u"1");
  EXPECT_EQ(w->DBGrid1.Row(), 0);
  EXPECT_TRUE(w->DBGrid1.Visible && w->DBGrid2.Visible && w->Label3.Visible && w->Label4.Visible);
  EXPECT_FALSE(w->RichTextBox1.Visible || w->RichTextBox2.Visible || w->RichTextBox6.Visible ||
               w->Picture3.Visible || w->Label5.Visible);
  EXPECT_EQ(w->Label3.Caption(), u"  世界地名——中文列表:");
  EXPECT_EQ(w->Label5.Caption(), u"亚洲—简介:");
  EXPECT_EQ(w->RichTextBox1.text(), u"亚洲");
  EXPECT_EQ(w->RichTextBox6.text(), u"世界最大的洲");
  EXPECT_EQ(w->Label6.BackColor, kButtonFace);
  EXPECT_EQ(w->Text7.text(), u"0");
  EXPECT_FALSE(w->Command35.Visible);
  EXPECT_EQ(w->Command28.Caption, u"修改");
}

TEST_F(PlacesTest, DesignStateFollowsTheWindowsLayoutTable) {
  start();
  EXPECT_EQ(w->Width, 9915);
  EXPECT_EQ(w->Height, 5790);
  auto named = [&](std::string_view name) -> const Control& {
    for (const Control* c : w->controls())
      if (c->name() == name) return *c;
    ADD_FAILURE() << "no control " << name;
    return w->Label13;
  };
  auto caption = [](const Control& c) -> Text {
    if (c.kind() == ControlKind::CommandButton) return static_cast<const CommandButton&>(c).Caption;
    return static_cast<const TextControl&>(c).text();
  };
  constexpr Colour kDarkRed = 0xC0, kBlue = 0xFF0000, kDarkBlue = 0xC00000, kRow1Back = 0xFFFFC0;
  constexpr float kRow1 = 3300, kRow2 = 3580, kRowH = 270, kAny = -1;
  constexpr Colour kNone = 0xFFFFFFFF;
  struct Case {
    const char* name;
    float left, top, width, height;  // kAny where the layout gives none
    const char16_t* caption;         // nullptr where the layout gives none
    Colour back = kNone, fore = kNone;  // kNone where the layout gives none
  };
  const Case cases[] = {
      // the upper area
      {"Label13", 240, 390, 9480, 2925, nullptr, 0xC0C0C0},
      {"Label3", 288, 120, kAny, kAny, u"  世界地名——中文列表:"},
      {"Label4", 4744, 120, kAny, kAny, u"    世界地名——西文列表:"},
      {"DBGrid1", 285, 390, 4635, 2820, nullptr, 0xC0FFFF},
      {"DBGrid2", 5010, 390, 4650, 2820, nullptr, 0xC0FFFF},
      {"Label5", 6216, 120, 3084, kAny, nullptr, kNone, kDarkRed},
      {"RichTextBox6", 5974, 398, kAny, 2810, nullptr},
      // detail row 1: caption boxes and field boxes
      {"Text42", 290, kRow1, 885, kRowH, u"本地所属:", kNone, kDarkRed},
      {"Text43", 1190, kRow1, 1265, kRowH, nullptr, kRow1Back, kBlue},
      {"Text32", 2460, kRow1, 555, kRowH, u"简称:", kNone, kDarkRed},
      {"Text46", 3030, kRow1, 840, kRowH, nullptr, kRow1Back, kDarkBlue},
      {"Text33", 3890, kRow1, 675, kRowH, u"面 积:", kNone, kDarkRed},
      {"Text34", 4580, kRow1, 1425, kRowH, nullptr, kRow1Back, kBlue},
      {"Text35", 6020, kRow1, 675, kRowH, u"人 口:", kNone, kDarkRed},
      {"Text36", 6710, kRow1, 1115, kRowH, nullptr, kRow1Back, kBlue},
      {"Text44", 7835, kRow1, 625, kRowH, u"省 会:", kNone, kDarkRed},
      {"Text45", 8470, kRow1, 1180, kRowH, nullptr, kRow1Back, kBlue},
      // detail row 2
      {"Text37", 290, kRow2, 885, kRowH, u"国名全称:", kNone, kDarkRed},
      {"Text38", 1190, kRow2, 2680, kRowH, nullptr},
      {"Text28", 3890, kRow2, 675, kRowH, u"面 积:", kNone, kDarkRed},
      {"Text29", 4580, kRow2, 1425, kRowH, nullptr},
      {"Text30", 6020, kRow2, 675, kRowH, u"人 口:", kNone, kDarkRed},
      {"Text31", 6710, kRow2, 1115, kRowH, nullptr},
      {"Text39", 7835, kRow2, 625, kRowH, u"首 都:", kNone, kDarkRed},
      {"Text40", 8470, kRow2, 1180, kRowH, nullptr},
      // the lower panel
      {"Label10", 120, 4045, 9705, 1540, nullptr, 0x80000010},
      {"Label11", 300, 4185, kAny, kAny, u"输入内容:"},
      {"Text9", 1296, 4155, 1550, kAny, nullptr, 0xFFC0FF},
      {"Command29", 2900, 4185, 480, kAny, u"<*>"},
      {"Command40", 3418, 4185, 580, kAny, u"[][]"},
      {"Command39", 4020, 4185, 810, kAny, u"Buscar"},
      {"CommandA", 240, 4485, 400, 312, u"A"},
      {"CommandI", 3600, 4485, 400, 312, u"I"},
      {"CommandJ", 240, 4815, 400, 312, u"J"},
      {"CommandM", 1495, 4815, 400, 312, u"M"},
      {"CommandR", 3600, 4815, 400, 312, u"R"},
      {"CommandS", 240, 5145, 400, 312, u"S"},
      {"CommandZ", 3180, 5145, 400, 312, u"Z"},
      {"Command33", 3600, 5145, 400, 312, u"><"},
      {"Command28", 4020, 4485, 810, 312, u"修改"},
      {"Command49", 4020, 4815, 810, 312, u"说明"},
      {"Command27", 4020, 5145, 810, 312, u"退出"},
      {"Picture1", 5070, 4185, 4620, 1265, nullptr},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const Control& c = named(k.name);
    if (k.left != kAny) {
      EXPECT_EQ(c.Left, k.left);
    }
    if (k.top != kAny) {
      EXPECT_EQ(c.Top, k.top);
    }
    if (k.width != kAny) {
      EXPECT_EQ(c.Width, k.width);
    }
    if (k.height != kAny) {
      EXPECT_EQ(c.Height, k.height);
    }
    if (k.caption) {
      EXPECT_EQ(caption(c), k.caption);
    }
    if (k.back != kNone) {
      EXPECT_EQ(c.BackColor, k.back);
    }
    if (k.fore != kNone) {
      EXPECT_EQ(c.ForeColor, k.fore);
    }
  }
  // Every field box is locked; the hidden view controls are hidden.
  for (const TextBox* b : {&w->Text43, &w->Text46, &w->Text34, &w->Text36, &w->Text45, &w->Text38, &w->Text29,
                           &w->Text31, &w->Text40, &w->Text42, &w->Text37})
    EXPECT_TRUE(b->Locked) << b->name();
  for (const Control* c : std::initializer_list<const Control*>{&w->RichTextBox2, &w->Picture3, &w->Label5})
    EXPECT_FALSE(c->Visible) << c->name();
  EXPECT_EQ(w->Text7.text(), u"0");
  EXPECT_EQ(w->Text8.text(), u"");
  EXPECT_EQ(w->Label2.BackColor, kButtonFace);
}

TEST_F(PlacesTest, PickingARowShowsThePlaceInBothGridsAndTheLists) {
  start();
  pickRow(w->DBGrid2, 1);
  EXPECT_EQ(w->Text5.text(), u"2");
  EXPECT_EQ(w->DBGrid1.Row(), 1);
  EXPECT_EQ(w->Text43.text(), u"Asia");
  EXPECT_EQ(w->Text45.text(), u"Beijing");
  // The display name stops before the note; the list keeps the whole name.
  EXPECT_EQ(w->Text1.text(), u"中国");
  EXPECT_EQ(w->Label5.Caption(), u"中国—简介:");
  EXPECT_EQ(w->RichTextBox1.text(), u"中国【中华人民共和国】");
  EXPECT_EQ(w->RichTextBox2.text(), u"China");
  EXPECT_EQ(w->RichTextBox6.text(), u"位于亚洲东部");
  EXPECT_EQ(w->Text6.text(), u"2");  // the search record follows
}

TEST_F(PlacesTest, ANameThatIsAllNoteGivesAnEmptyDisplayName) {
  start({{u"【无名】", u"Nowhere", u""}, {u"", u"Blank", u""}, {u"东京", u"Tokyo", u""}});
  pickRow(w->DBGrid1, 0);
  pickRow(w->DBGrid1, 2);
  pickRow(w->DBGrid1, 0);
  EXPECT_EQ(w->Text1.text(), u"");
  EXPECT_EQ(w->Label5.Caption(), u"—简介:");
  pickRow(w->DBGrid1, 2);
  EXPECT_EQ(w->Label5.Caption(), u"东京—简介:");
  pickRow(w->DBGrid1, 1);
  EXPECT_EQ(w->Label5.Caption(), u"—简介:");
}

// --- views ----------------------------------------------------------------------------

TEST_F(PlacesTest, ClearThenCycleShowsTheNameMapAndCyclesBack) {
  start();
  pickRow(w->DBGrid1, 3);
  ASSERT_TRUE(user().click(w->Command29));  // "<*>"
  EXPECT_FALSE(w->RichTextBox1.Visible);
  EXPECT_TRUE(w->DBGrid1.Visible);
  ASSERT_TRUE(user().click(w->Command40));  // "[][]"
  EXPECT_FALSE(w->DBGrid1.Visible || w->DBGrid2.Visible || w->Label4.Visible);
  EXPECT_TRUE(w->RichTextBox1.Visible && w->RichTextBox2.Visible && w->Picture3.Visible &&
              w->RichTextBox6.Visible && w->Label5.Visible && w->Label3.Visible);
  EXPECT_EQ(w->Label3.Caption(), u"  世界地名中外文名称:");
  EXPECT_EQ(w->RichTextBox1.text(), u"西班牙");
  EXPECT_EQ(w->RichTextBox2.text(), u"España");
  EXPECT_EQ((std::array<float, 4>{w->RichTextBox1.Left, w->RichTextBox1.Top, w->RichTextBox1.Width, w->RichTextBox1.Height}),
            (std::array{288.f, 410.f, 5665.f, 290.f}));
  EXPECT_EQ(w->Picture3.Height, 2180.f);
  EXPECT_TRUE(w->Text9.hasFocus());
  // "<*>" does nothing in the one-line lists.
  ASSERT_TRUE(user().click(w->Command29));
  EXPECT_TRUE(w->RichTextBox1.Visible);
  ASSERT_TRUE(user().click(w->Command40));
  EXPECT_TRUE(w->DBGrid1.Visible && w->DBGrid2.Visible && w->Label4.Visible);
  EXPECT_FALSE(w->RichTextBox1.Visible || w->Picture3.Visible || w->Label5.Visible);
  EXPECT_EQ(w->Label3.Caption(), u"  世界地名——中文列表:");
  EXPECT_EQ(w->Label4.Left, 4744.f);
}

TEST_F(PlacesTest, CycleTogglesBetweenGridsAndSearchResults) {
  start();
  search(u"西班牙");
  buscar();
  ASSERT_TRUE(w->RichTextBox1.Visible);
  ASSERT_TRUE(user().click(w->Command40));
  EXPECT_TRUE(w->DBGrid1.Visible);
  EXPECT_FALSE(w->RichTextBox1.Visible);
  ASSERT_TRUE(user().click(w->Command40));
  EXPECT_FALSE(w->DBGrid1.Visible);
  EXPECT_TRUE(w->RichTextBox1.Visible && w->RichTextBox2.Visible && w->RichTextBox6.Visible);
  EXPECT_EQ(w->RichTextBox1.Width, 3068.f);
  EXPECT_EQ(w->RichTextBox2.Width, 2638.f);
  EXPECT_EQ(w->Label4.Left, 3286.f);
}

TEST_F(PlacesTest, TheBannerOpensTheMapAndTheMapReturns) {
  start();
  ASSERT_TRUE(user().click(w->Picture1));
  EXPECT_TRUE(w->Picture3.Visible && w->RichTextBox6.Visible && w->Label5.Visible);
  EXPECT_FALSE(w->DBGrid1.Visible || w->Label3.Visible || w->Label4.Visible || w->RichTextBox1.Visible);
  EXPECT_EQ((std::array<float, 3>{w->Picture3.Top, w->Picture3.Width, w->Picture3.Height}), (std::array{410.f, 5660.f, 2810.f}));
  ASSERT_TRUE(user().click(w->Picture1));
  EXPECT_TRUE(w->DBGrid1.Visible && w->Label3.Visible && w->Label4.Visible);
  EXPECT_FALSE(w->Picture3.Visible || w->RichTextBox6.Visible);
  ASSERT_TRUE(user().click(w->Picture1));
  ASSERT_TRUE(user().click(w->Picture3));
  EXPECT_TRUE(w->DBGrid1.Visible && w->DBGrid2.Visible);
  EXPECT_FALSE(w->Picture3.Visible || w->Label5.Visible);
  // The banner does nothing while the add panel is open.
  ASSERT_TRUE(user().click(w->Command33));
  ASSERT_TRUE(user().click(w->Command35));
  p->event([&] { w->Picture1_Click(); });
  EXPECT_FALSE(w->Picture3.Visible);
}

TEST_F(PlacesTest, FromTheMapCycleGivesTheResultsWithTheMapStillShown) {
  start();
  search(u"西班牙");
  buscar();
  ASSERT_TRUE(user().click(w->Command40));  // back to the grids
  ASSERT_TRUE(user().click(w->Picture1));   // the map
  ASSERT_TRUE(user().click(w->Command40));
  EXPECT_TRUE(w->RichTextBox1.Visible && w->Picture3.Visible);
  EXPECT_FALSE(w->Label4.Visible);
}

TEST_F(PlacesTest, TheFullNameBoxAndItsStandInSwapBack) {
  start();
  ASSERT_TRUE(user().doubleClick(w->Text38));
  EXPECT_TRUE(w->Text48.Visible);
  EXPECT_FALSE(w->Text38.Visible);
  EXPECT_EQ(w->Text48.Top, 3580.f);
  ASSERT_TRUE(user().doubleClick(w->Text48));
  EXPECT_TRUE(w->Text38.Visible);
  EXPECT_FALSE(w->Text48.Visible);
  EXPECT_EQ(w->Text48.Top, 3870.f);
  // The letter buttons and "说明" do nothing.
  const Text id = w->Text5.text();
  ASSERT_TRUE(user().click(*w->Letters[0]));
  ASSERT_TRUE(user().click(w->Command49));
  EXPECT_EQ(w->Text5.text(), id);
}

// --- type-ahead, Buscar, result lists and links ---------------------------------------

TEST_F(PlacesTest, TypingAWesternNameJumpsAndEmptiesTheBox) {
  start();
  search(u"Madri");
  EXPECT_EQ(w->Text5.text(), u"1");
  EXPECT_EQ(w->Text9.text(), u"Madri");
  search(u"d");
  EXPECT_EQ(w->Text5.text(), u"5");
  EXPECT_EQ(w->Text9.text(), u"");
  EXPECT_EQ(w->DBGrid2.Row(), 4);
  EXPECT_EQ(w->RichTextBox2.text(), u"Madrid");
  // A Chinese name never jumps; case counts.
  search(u"北京");
  EXPECT_EQ(w->Text5.text(), u"5");
  ASSERT_TRUE(user().pressKey(w->Text9, kKeyEnd));
  p->event([&] { w->Text9.setText(u""); });
  search(u"madrid");
  EXPECT_EQ(w->Text5.text(), u"5");
  EXPECT_EQ(w->Text9.text(), u"madrid");
}

TEST_F(PlacesTest, BuscarListsEveryHitAndStepsThroughThem) {
  start();
  search(u"西班牙");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"西班牙\r\n马德里\r\n巴塞罗那\r\n");
  EXPECT_EQ(w->RichTextBox2.text(), u"España\r\nMadrid\r\nBarcelona\r\n");
  EXPECT_EQ(w->Text5.text(), u"4");
  EXPECT_EQ(w->Label5.Caption(), u"西班牙—简介:");
  EXPECT_TRUE(w->RichTextBox1.Visible && w->RichTextBox6.Visible);
  EXPECT_FALSE(w->DBGrid1.Visible);
  EXPECT_EQ(w->RichTextBox1.Width, 3038.f);
  EXPECT_EQ(w->RichTextBox2.Width, 2608.f);
  EXPECT_EQ(w->Label6.BackColor, kPlaceSearching);
  EXPECT_EQ(w->Label2.BackColor, kButtonFace);
  buscar();
  EXPECT_EQ(w->Text5.text(), u"5");
  EXPECT_EQ(w->Label5.Caption(), u"马德里—简介:");
  EXPECT_EQ(w->RichTextBox1.text(), u"西班牙\r\n马德里\r\n巴塞罗那\r\n");  // the lists stay
  EXPECT_EQ(w->Text9.text(), u"西班牙");
  buscar();
  EXPECT_EQ(w->Text5.text(), u"6");
  EXPECT_EQ(w->Text9.text(), u"");  // the last hit ends the search
  EXPECT_EQ(w->Text7.text(), u"0");
  EXPECT_EQ(w->Text8.text(), u"");
  EXPECT_TRUE(w->Text9.hasFocus());
  EXPECT_EQ(w->RichTextBox1.text(), u"西班牙\r\n马德里\r\n巴塞罗那\r\n");
  buscar();  // nothing to search for
  EXPECT_EQ(w->Text5.text(), u"6");
}

TEST_F(PlacesTest, BuscarEdgeCases) {
  start();
  // An empty search box only takes the focus.
  ASSERT_TRUE(user().focus(w->Command28));
  buscar();
  EXPECT_TRUE(w->Text9.hasFocus());
  EXPECT_EQ(w->Label6.BackColor, kButtonFace);
  // A single hit ends the search at once.
  search(u"首都");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"北京\r\n马德里\r\n");
  p->event([&] { w->Text9.setText(u""); });
  search(u"洲");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"亚洲\r\n中国【中华人民共和国】\r\n西班牙\r\n");
  p->event([&] { w->Text9.setText(u""); });
  search(u"城市");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"巴塞罗那\r\n");
  EXPECT_EQ(w->Text5.text(), u"6");
  EXPECT_EQ(w->Text9.text(), u"");
  // Case counts; a text found nowhere empties the lists and moves nothing.
  search(u"madrid");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"");
  EXPECT_EQ(w->Text5.text(), u"6");
}

TEST_F(PlacesTest, DigitsMatchTheIdColumnFirst) {
  std::vector<PlaceRow> places = kPlaces;
  places[0].intro = u"面积4400万平方公里";  // ID 1 holds "4" in its text; ID 4 in its ID
  start(places);
  search(u"4");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"西班牙\r\n亚洲\r\n");
  p->event([&] { w->Text9.setText(u""); });
  places.push_back({u"第四城", u"Cuatro", u"编号4"});
  p.reset();
  TempDir other;
  writePlaces(other.path(), places);
  p = std::make_unique<Program>(other.path());
  w = openPlaces(*p);
  search(u"7");
  EXPECT_EQ(w->Text5.text(), u"1");
  p->event([&] { w->Text9.setText(u""); });
  places.back().intro = u"编号7";
  TempDir third;
  p.reset();
  writePlaces(third.path(), places);
  p = std::make_unique<Program>(third.path());
  w = openPlaces(*p);
  search(u"7");
  buscar();
  // ID 7 whose text also holds "7" is listed twice.
  EXPECT_EQ(w->RichTextBox1.text(), u"第四城\r\n第四城\r\n");
}

TEST_F(PlacesTest, AKeyReleaseRestartsTheListing) {
  start();
  search(u"西班牙");
  buscar();
  EXPECT_EQ(w->Text7.text(), u"4");
  ASSERT_TRUE(user().pressKey(w->Text9, kKeyRight));
  EXPECT_EQ(w->Text7.text(), u"0");
  buscar();
  EXPECT_EQ(w->Text5.text(), u"4");  // a new listing, first hit again
}

TEST_F(PlacesTest, ClickingAResultLineShowsItsPlaceAndHighlightsThePartner) {
  start();
  search(u"西班牙");
  buscar();
  clickList(w->RichTextBox1, 6);  // inside "马德里"
  EXPECT_EQ(w->Text5.text(), u"5");
  EXPECT_EQ(w->RichTextBox1.SelText(), u"马德里");
  EXPECT_EQ(w->RichTextBox2.SelText(), u"Madrid");
  EXPECT_EQ(w->RichTextBox2.SelStart(), 8);
  EXPECT_EQ(w->Label5.Caption(), u"马德里—简介:");
  EXPECT_EQ(w->Text7.text(), u"0");
  EXPECT_EQ(w->RichTextBox1.text(), u"西班牙\r\n马德里\r\n巴塞罗那\r\n");
  // A click in the Western list titles with the Chinese name it highlights.
  clickList(w->RichTextBox2, 17);  // inside "Barcelona"
  EXPECT_EQ(w->Text5.text(), u"6");
  EXPECT_EQ(w->RichTextBox1.SelText(), u"巴塞罗那");
  EXPECT_EQ(w->Label5.Caption(), u"巴塞罗那—简介:");
  // Below the last line: nothing moves.
  clickList(w->RichTextBox1, Len(w->RichTextBox1.text()));
  EXPECT_EQ(w->Text5.text(), u"6");
  EXPECT_EQ(w->RichTextBox2.SelText(), u"Barcelona");
  EXPECT_EQ(w->Label5.Caption(), u"—简介:");
}

TEST_F(PlacesTest, APressAndReleaseOnALineSelectsItOnce) {
  std::vector<PlaceRow> places = kPlaces;
  places.push_back({u"第七城", u"Siete", u"编号7"});
  start(places);
  search(u"7");
  buscar();
  ASSERT_EQ(w->RichTextBox1.text(), u"第七城\r\n第七城\r\n");
  // The button goes down and comes up at the same place, as a click on the
  // desktop: the partner name's first occurrence is highlighted, once.
  ASSERT_TRUE(user().mouseDown(w->RichTextBox1, {}, 1));
  ASSERT_TRUE(user().mouseUp(w->RichTextBox1, {}, 1));
  EXPECT_EQ(w->RichTextBox1.SelText(), u"第七城");
  EXPECT_EQ(w->RichTextBox2.SelStart(), 0);
  EXPECT_EQ(w->RichTextBox2.SelText(), u"Siete");
  // A second click on the same place highlights its next occurrence.
  ASSERT_TRUE(user().mouseDown(w->RichTextBox1, {}, 6));
  ASSERT_TRUE(user().mouseUp(w->RichTextBox1, {}, 6));
  EXPECT_EQ(w->RichTextBox2.SelStart(), 7);
}

TEST_F(PlacesTest, ClickingAfterTheSearchEndedReplacesTheLists) {
  start();
  search(u"首都");
  buscar();
  buscar();  // the last hit: the search is over, but the flag stays
  search(u"x");
  p->event([&] { w->Text9.setText(u""); });  // caret at 0: the flag is reset
  EXPECT_EQ(w->Label6.BackColor, kButtonFace);
  clickList(w->RichTextBox1, 0);  // "北京"
  EXPECT_EQ(w->Text5.text(), u"3");
  EXPECT_EQ(w->RichTextBox1.text(), u"北京");
  EXPECT_EQ(w->RichTextBox2.text(), u"Beijing");
  EXPECT_EQ(w->Label5.Caption(), u"—简介:");
}

TEST_F(PlacesTest, LinksShowTheLinkedPlace) {
  start();
  pickRow(w->DBGrid1, 2);  // 北京, in "China"
  ASSERT_TRUE(user().mouseDown(w->Text43, {}, 0));
  EXPECT_EQ(w->Text5.text(), u"2");
  ASSERT_TRUE(user().mouseDown(w->Text45, {.button = 2}, 0));  // Beijing
  EXPECT_EQ(w->Text5.text(), u"3");
  pickRow(w->DBGrid1, 3);  // 西班牙 in "Europa", no such place
  ASSERT_TRUE(user().mouseDown(w->Text43, {}, 0));
  EXPECT_EQ(w->Text5.text(), u"4");
}

// --- single add --------------------------------------------------------------------

TEST_F(PlacesTest, AnAddIsFoundAtOnceByEverySearchAndAfterARestart) {
  start();
  ASSERT_TRUE(user().click(w->Command33));
  EXPECT_TRUE(w->Command35.Visible && w->Command3.Visible);
  EXPECT_FALSE(w->Command40.Enabled || w->Command39.Enabled || w->Command28.Enabled);
  ASSERT_TRUE(user().click(w->Command35));
  EXPECT_EQ(w->Command35.Caption, u"保存添加(&B)");
  EXPECT_TRUE(w->Text12.Visible && w->Text13.Visible && w->Text14.Visible && w->Text64.Visible && w->Text41.Visible);
  EXPECT_FALSE(w->Text43.Visible || w->DBGrid1.Enabled || w->Command33.Enabled);
  EXPECT_EQ(w->Text64.Top, 3300.f);
  EXPECT_EQ(w->Text54.Top, 3580.f);
  ASSERT_TRUE(user().type(w->Text12, u"里斯本"));
  EXPECT_EQ(w->Label6.BackColor, kPlaceTyping);
  ASSERT_TRUE(user().type(w->Text13, u"Lisboa"));
  ASSERT_TRUE(user().type(w->Text14, u"葡萄牙的首都"));
  ASSERT_TRUE(user().type(w->Text64, u"Portugal"));
  ASSERT_TRUE(user().type(w->Text21, u"LIS"));
  // The full-name entry box is locked: it takes the focus but no typing.
  ASSERT_TRUE(user().type(w->Text48, u"Portuguesa"));
  EXPECT_TRUE(w->Text48.hasFocus());
  EXPECT_EQ(w->Text48.text(), u"");
  ASSERT_TRUE(user().click(w->Command35));
  // The new place is current in both grids; the panel is closed and empty.
  EXPECT_EQ(w->Text5.text(), u"7");
  EXPECT_EQ(w->DBGrid1.Row(), 6);
  EXPECT_EQ(w->DBGrid2.cell(6), u"Lisboa");
  EXPECT_EQ(w->Text43.text(), u"Portugal");
  EXPECT_FALSE(w->Text12.Visible || w->Text64.Visible || w->Text41.Visible || w->Command35.Visible);
  EXPECT_EQ(w->Text12.text(), u"");
  EXPECT_EQ(w->Text64.text(), u"");
  EXPECT_EQ(w->Command35.Caption, u"单项添加(&D)");
  EXPECT_TRUE(w->Command27.hasFocus());
  EXPECT_TRUE(w->Command40.Enabled && w->Command39.Enabled && w->Command28.Enabled && w->DBGrid1.Enabled);
  // The press cycled the view to the lists, which now hold the new place.
  EXPECT_TRUE(w->RichTextBox1.Visible);
  EXPECT_EQ(w->RichTextBox1.text(), u"里斯本");
  ASSERT_TRUE(user().click(w->Command40));
  EXPECT_TRUE(w->DBGrid1.Visible);
  // All three records are in their files at once, with the same ID.
  EXPECT_EQ(fileRows(file("DMK1.db"), "ID, ZD1").back(),
            (std::vector<std::string>{"7", "里斯本Lisboa/葡萄牙的首都"}));
  EXPECT_EQ(fileRows(file("DMK2.db"), "ID, ZD1, ZD2, ZD4").back(),
            (std::vector<std::string>{"7", "Lisboa", "里斯本", "LIS"}));
  EXPECT_EQ(fileRows(file("DMK0.db"), "ID, ZD1, ZD2, ZD3, ZD17").back(),
            (std::vector<std::string>{"7", "Lisboa", "里斯本", "Portugal", "葡萄牙的首都"}));
  pickRow(w->DBGrid1, 0);
  search(u"Lisboa");
  EXPECT_EQ(w->Text5.text(), u"7");
  search(u"葡萄牙");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"里斯本\r\n");
  p->restart();
  w = openPlaces(*p);
  search(u"Lisboa");
  EXPECT_EQ(w->Text5.text(), u"7");
  EXPECT_EQ(w->RichTextBox6.text(), u"葡萄牙的首都");
}

TEST_F(PlacesTest, AddWithOneNameOrNone) {
  start();
  ASSERT_TRUE(user().click(w->Command33));
  ASSERT_TRUE(user().click(w->Command35));
  // A lone blank is no name; two blanks stay.
  ASSERT_TRUE(user().type(w->Text12, u" "));
  EXPECT_EQ(w->Text12.text(), u"");
  ASSERT_TRUE(user().type(w->Text14, u"只有简介"));
  ASSERT_TRUE(user().type(w->Text57, u"100"));
  ASSERT_TRUE(user().click(w->Command35));  // both names empty: closes
  EXPECT_FALSE(w->Text12.Visible || w->Text57.Visible);
  EXPECT_EQ(fileRows(file("DMK0.db"), "ID").size(), 6u);
  EXPECT_EQ(w->Text57.Top, 3020.f);
  ASSERT_TRUE(user().click(w->Command33));
  ASSERT_TRUE(user().click(w->Command35));
  EXPECT_EQ(w->Text14.text(), u"只有简介");
  EXPECT_EQ(w->Text57.text(), u"100");
  ASSERT_TRUE(user().paste(w->Text13, u"Oporto"));
  ASSERT_TRUE(user().click(w->Command35));
  EXPECT_EQ(fileRows(file("DMK0.db"), "ID, ZD1, ZD2, ZD6").back(),
            (std::vector<std::string>{"7", "Oporto", "", "100"}));
  EXPECT_EQ(fileRows(file("DMK1.db"), "ZD1").back(), (std::vector<std::string>{"Oporto/只有简介"}));
}

TEST_F(PlacesTest, AnAddIntoEmptyTables) {
  start({});
  EXPECT_EQ(w->DBGrid1.Rows(), 0);
  EXPECT_EQ(w->Text5.text(), u"");
  ASSERT_TRUE(user().click(w->Command28));  // no current place: nothing
  EXPECT_EQ(w->Command28.Caption, u"修改");
  search(u"x");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"");
  for (const char* f : {"DMK0.db", "DMK1.db", "DMK2.db"}) EXPECT_TRUE(std::filesystem::exists(file(f)));
  ASSERT_TRUE(user().click(w->Command33));
  ASSERT_TRUE(user().click(w->Command35));
  ASSERT_TRUE(user().type(w->Text12, u"开罗"));
  ASSERT_TRUE(user().type(w->Text13, u"El Cairo"));
  ASSERT_TRUE(user().click(w->Command35));
  EXPECT_EQ(w->Text5.text(), u"1");
  EXPECT_EQ(w->DBGrid1.Rows(), 1);
  EXPECT_EQ(w->DBGrid1.cell(0), u"开罗");
}

// The save makes the new place current: its names fill both lists and its
// title heads the introduction, whether the tables held a place or none (the
// move from no current place to the first one is a move too).
struct SavedPlaceCase {
  const char* name;
  std::vector<PlaceRow> places;
  Text id;
};

class PlacesSaveTest : public PlacesTest, public ::testing::WithParamInterface<SavedPlaceCase> {};

TEST_P(PlacesSaveTest, TheSavedPlaceShowsItsNamesAndTitle) {
  start(GetParam().places);
  ASSERT_TRUE(user().click(w->Command33));
  ASSERT_TRUE(user().click(w->Command35));
  ASSERT_TRUE(user().type(w->Text12, u"开罗【埃及】"));
  ASSERT_TRUE(user().type(w->Text13, u"El Cairo"));
  ASSERT_TRUE(user().type(w->Text14, u"埃及的首都"));
  ASSERT_TRUE(user().click(w->Command35));
  EXPECT_EQ(w->Text5.text(), GetParam().id);
  EXPECT_EQ(w->DBGrid1.text(), u"开罗【埃及】");
  EXPECT_EQ(w->DBGrid2.text(), u"El Cairo");
  EXPECT_TRUE(w->RichTextBox1.Visible && w->RichTextBox2.Visible && w->Label5.Visible);
  EXPECT_EQ(w->RichTextBox1.text(), u"开罗【埃及】");
  EXPECT_EQ(w->RichTextBox2.text(), u"El Cairo");
  EXPECT_EQ(w->Label5.Caption(), u"开罗—简介:");
  EXPECT_EQ(w->RichTextBox6.text(), u"埃及的首都");
  // The row handler put the search table on the new place.
  EXPECT_EQ(w->Text6.text(), GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(Tables, PlacesSaveTest,
                         ::testing::Values(SavedPlaceCase{"Empty", {}, u"1"},
                                           SavedPlaceCase{"OnePlaceStored", {kPlaces[0]}, u"2"}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- modify -----------------------------------------------------------------------

TEST_F(PlacesTest, ModifyAndSaveRewritesTheRecordsAtOnce) {
  start();
  pickRow(w->DBGrid1, 4);  // 马德里
  ASSERT_TRUE(user().click(w->Command28));
  EXPECT_EQ(w->Command28.Caption, u"保存");
  EXPECT_TRUE(w->Text3.Visible && w->Text4.Visible && w->Text27.Visible && w->Text41.Visible);
  EXPECT_EQ(w->Text27.Top, 1000.f);
  EXPECT_FALSE(w->Text43.Locked || w->Command40.Enabled || w->Command39.Enabled);
  ASSERT_TRUE(user().pressKey(w->Text4, kKeyEnd));
  ASSERT_TRUE(user().type(w->Text4, u" (capital)"));
  ASSERT_TRUE(user().pressKey(w->Text27, kKeyEnd));
  ASSERT_TRUE(user().type(w->Text27, u"，人口三百万"));
  ASSERT_TRUE(user().type(w->Text36, u"3300000"));
  // A press in the unlocked link box places the caret; it does not jump.
  ASSERT_TRUE(user().mouseDown(w->Text43, {}, 2));
  EXPECT_EQ(w->Text5.text(), u"5");
  EXPECT_EQ(w->Text43.SelStart(), 2);
  ASSERT_TRUE(user().click(w->Command28));
  EXPECT_EQ(w->Command28.Caption, u"修改");
  EXPECT_TRUE(w->Text43.Locked);
  EXPECT_FALSE(w->Text3.Visible || w->Text41.Visible);
  // Saved before anything moves: the files hold the edits.
  EXPECT_EQ(fileRows(file("DMK0.db"), "ZD1, ZD7, ZD17")[4],
            (std::vector<std::string>{"Madrid (capital)", "3300000", "西班牙的首都，人口三百万"}));
  EXPECT_EQ(fileRows(file("DMK1.db"), "ZD1")[4], (std::vector<std::string>{"Madrid (capital)/马德里"}));
  EXPECT_EQ(fileRows(file("DMK2.db"), "ZD1, ZD2")[4], (std::vector<std::string>{"Madrid (capital)", "马德里"}));
  // The introduction is no longer part of the search text.
  search(u"首都");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"北京\r\n");
  search(u"Madrid (capital)");
  EXPECT_EQ(w->Text5.text(), u"5");
}

TEST_F(PlacesTest, NothingTypedInModifyModeIsLostWhenTheWindowOrProgramCloses) {
  start();
  ASSERT_TRUE(user().click(w->Command28));
  ASSERT_TRUE(user().type(w->Text46, u"AS"));
  ASSERT_TRUE(user().click(w->Command27));  // "退出" closes the window
  EXPECT_FALSE(p->app().isLoaded<frm世界地名>());
  EXPECT_EQ(fileRows(file("DMK0.db"), "ZD4")[0], (std::vector<std::string>{"AS"}));
  w = openPlaces(*p);
  ASSERT_TRUE(user().click(w->Command28));
  ASSERT_TRUE(user().type(w->Text46, u"!"));  // the caret stands at 0
  p->restart();
  EXPECT_EQ(fileRows(file("DMK0.db"), "ZD4")[0], (std::vector<std::string>{"!AS"}));
}

// Tables an older program left out of step (a stray search row) keep what
// they hold; a place added now stands under one ID in all three.
TEST_F(PlacesTest, AnAddIntoTablesOutOfStepGetsOneIdInAllOfThem) {
  writePlaces(dir.path(), kPlaces);
  execOn(file("DMK1.db"), "INSERT INTO \"表1\" (ZD1) VALUES ('stray')");
  p = std::make_unique<Program>(dir.path());
  w = openPlaces(*p);
  ASSERT_TRUE(user().click(w->Command33));
  ASSERT_TRUE(user().click(w->Command35));
  ASSERT_TRUE(user().type(w->Text13, u"Lisboa"));
  ASSERT_TRUE(user().click(w->Command35));
  EXPECT_TRUE(p->dialogs().messages.empty());
  const std::string id = std::to_string(kPlaces.size() + 2);
  EXPECT_EQ(fileRows(file("DMK0.db"), "ID, ZD1").back(), (std::vector<std::string>{id, "Lisboa"}));
  EXPECT_EQ(fileRows(file("DMK1.db"), "ID").back(), std::vector<std::string>{id});
  EXPECT_EQ(fileRows(file("DMK2.db"), "ID").back(), std::vector<std::string>{id});
  EXPECT_EQ(fileRows(file("DMK1.db"), "ZD1")[kPlaces.size()], std::vector<std::string>{"stray"});
}

TEST_F(PlacesTest, APlaceWithoutAChineseNameCannotBeModified) {
  start({{u"", u"Nameless", u""}});
  ASSERT_TRUE(user().click(w->Command28));
  EXPECT_EQ(w->Command28.Caption, u"修改");
  EXPECT_FALSE(w->Text3.Visible);
}

TEST_F(PlacesTest, AnInGridNameEditChangesOnlyThePlaceRecord) {
  start();
  ASSERT_TRUE(user().editCell(w->DBGrid2, 4, u"Madrit"));
  EXPECT_EQ(w->Text5.text(), u"5");
  EXPECT_EQ(w->Text4.text(), u"Madrit");
  ASSERT_TRUE(user().editCell(w->DBGrid1, 4, u"马德里市"));
  EXPECT_EQ(w->Text3.text(), u"马德里市");
  pickRow(w->DBGrid1, 0);
  EXPECT_EQ(w->DBGrid2.cell(4), u"Madrit");
  // The search and name records keep the old names until a modify save.
  search(u"Madrit");
  EXPECT_EQ(w->Text5.text(), u"1");
  p->event([&] { w->Text9.setText(u""); });
  search(u"Madrid");
  EXPECT_EQ(w->Text5.text(), u"5");
  search(u"马德里市");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"");
  p->restart();
  EXPECT_EQ(fileRows(file("DMK0.db"), "ZD1, ZD2")[4], (std::vector<std::string>{"Madrit", "马德里市"}));
}

// --- mended faults -------------------------------------------------------------------

TEST_F(PlacesTest, AGapInTheIdsNeverShowsTheWrongPlace) {
  writePlaces(dir.path(), kPlaces);
  for (const char* f : {"DMK0.db", "DMK1.db", "DMK2.db"}) execOn(file(f), "DELETE FROM \"表1\" WHERE ID = 2");
  p = std::make_unique<Program>(dir.path());
  w = openPlaces(*p);
  search(u"首都");
  buscar();
  EXPECT_EQ(w->RichTextBox1.text(), u"北京\r\n马德里\r\n");
  EXPECT_EQ(w->Text5.text(), u"3");
  EXPECT_EQ(w->Label5.Caption(), u"北京—简介:");
  buscar();
  EXPECT_EQ(w->Text5.text(), u"5");
  ASSERT_TRUE(user().click(w->Command40));
  pickRow(w->DBGrid1, 1);  // the row of 北京, ID 3
  EXPECT_EQ(w->Text5.text(), u"3");
}

TEST_F(PlacesTest, PartnerHighlightPastThirtyTwoThousandCharacters) {
  std::vector<PlaceRow> many;
  for (int i = 0; i < 3000; ++i) {
    const Text n = NumText(int64_t{100000 + i});
    many.push_back({u"城市" + n, u"Ciudad" + n, u"一个城市"});
  }
  start(many);
  search(u"一个城市");
  buscar();
  ASSERT_GT(Len(w->RichTextBox2.text()), 32767);
  const int64_t lastLine = Len(w->RichTextBox1.text()) - 6;
  clickList(w->RichTextBox1, lastLine + 1);
  EXPECT_EQ(w->Text5.text(), u"3000");
  EXPECT_EQ(w->RichTextBox2.SelText(), u"Ciudad102999");
  EXPECT_EQ(w->RichTextBox2.SelStart(), Len(w->RichTextBox2.text()) - 14);
  EXPECT_EQ(w->PlaceScanPosition, Len(w->RichTextBox2.text()) - 13);
}

TEST_F(PlacesTest, APlaceTableThatCannotOpenIsReportedAndTheWindowStaysClosed) {
  writePlaces(dir.path(), kPlaces);
  std::filesystem::remove(file("DMK1.db"));
  std::filesystem::create_directory(file("DMK1.db"));
  p = std::make_unique<Program>(dir.path());
  FrmLexaro& main = startMainWindow(*p);
  ASSERT_TRUE(user().click(main.Command3));  // "[地名]"
  ASSERT_FALSE(p->dialogs().messages.empty());
  EXPECT_NE(toUtf8(p->dialogs().messages.back().prompt).find("DMK1.db"), std::string::npos);
  EXPECT_FALSE(p->app().isLoaded<frm世界地名>());
}

}  // namespace
}  // namespace zuvo
