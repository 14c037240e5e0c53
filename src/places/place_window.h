#pragma once
// The world place-name window: places in Chinese and in their Western
// spelling with an introduction each, over three parallel tables. Its design
// state is the table in place_design.cpp; its handlers are spread over
// place_views.cpp (views, moves, map), place_search.cpp (type-ahead, Buscar,
// result lists, links), place_entry.cpp (single add and modify) and
// place_batch*.cpp (batch files).

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "import/batch_text.h"
#include "platform/application.h"
#include "platform/control.h"
#include "platform/grid.h"
#include "platform/rich_text_box.h"
#include "platform/window.h"
#include "store/data_source.h"
#include "store/tables.h"

namespace zuvo {

// Back colours the place window uses as flags.
inline constexpr Colour kPlaceSearching = 0x8000000C;  // Label6: a Buscar search is under way
inline constexpr Colour kPlaceTyping = 0xC0C0FF;       // Label6: an add-panel name box is typed into
inline constexpr Colour kPlaceListFound = 0xC0C0FF;    // Label2: the listing found something

class frm世界地名 : public Window {
 public:
  explicit frm世界地名(Application& app);

  // ShowPlaceNamesWindow: loads the window when needed and shows it. A place
  // table that cannot be opened has been reported by its store; the window
  // is then unloaded again rather than shown blank. Returns the window, or
  // nullptr when it could not open.
  static frm世界地名* open(Application& app);
  // All three place tables are open.
  // A table another program kept out at its opening is opened again here.
  bool tablesOpen() { return Data1.ensureOpen() && Data2.ensureOpen() && Data3.ensureOpen(); }

  // --- views, moves and the map (place_views.cpp) ---
  void Command40_Click();  // CyclePlaceView
  void Command29_Click();  // ClearPlaceResultLists
  void Picture1_Click();   // ToggleWorldMap
  void Picture3_Click();   // ReturnFromWorldMap
  void DBGrid1_RowColChange();
  void DBGrid2_RowColChange();
  void RichTextBox3_Change();  // UpdatePlaceDisplayName
  void Text38_DblClick();      // ShowFullNameAlternate
  void Text48_DblClick();      // RestoreFullNameBox
  void Command27_Click();      // closes the window

  // --- search and links (place_search.cpp) ---
  void Text9_KeyUp();           // JumpToTypedPlace
  void Text9_Change();          // ClearSearchModeOnEmptyCaret
  void Command39_Click();       // FindNextPlace ("Buscar")
  void Command30_Click();       // ListAllPlaceMatches
  void RichTextBox1_SelChange();  // SelectPlaceListLine
  void RichTextBox2_SelChange();  // SelectPlaceListLine
  void Text43_MouseDown();      // FollowPlaceLink
  void Text45_MouseDown();      // FollowPlaceLink

  // --- single entry and modify (place_entry.cpp) ---
  void Command33_Click();  // ToggleAddButtons
  void Command35_Click();  // AddSinglePlace
  void Command28_Click();  // TogglePlaceModify
  void Command34_Click();  // ShowPlaceEntryLayout
  void Command41_Click();  // HidePlaceEntryLayout
  void Command24_Click();  // UnlockPlaceDetails
  void Command38_Click();  // LockPlaceDetails
  void NameEntry_Change(TextBox& box);  // Text12_Change, Text13_Change, Text21_Change

  // --- the place tables ---
  DataSource Data1{*this, "Data1", tables::places()};       // PlaceStore
  DataSource Data2{*this, "Data2", tables::placeSearch()};  // PlaceSearchStore
  DataSource Data3{*this, "Data3", tables::placeNames()};   // PlaceNameIndex
  // A place's three records are saved together or not at all.
  StoreGroup PlaceTables{&Data1, &Data2, &Data3};

  // --- upper area: grids, lists, introduction, map ---
  Label Label13{*this, "Label13"};  // the grey panel behind the upper area
  Label Label3{*this, "Label3"};
  Label Label4{*this, "Label4"};
  Label Label5{*this, "Label5"};  // the introduction's title
  DataGrid DBGrid1{*this, "DBGrid1"};  // Chinese names (ZD2)
  DataGrid DBGrid2{*this, "DBGrid2"};  // Western names (ZD1)
  FlexGrid MSFlexGrid1{*this, "MSFlexGrid1"};  // PlaceSearchGrid
  RichTextBox RichTextBox1{*this, "RichTextBox1"};  // result list of Chinese names
  RichTextBox RichTextBox2{*this, "RichTextBox2"};  // result list of Western names
  RichTextBox RichTextBox3{*this, "RichTextBox3"};  // ZD2, for the display name
  RichTextBox RichTextBox6{*this, "RichTextBox6"};  // the introduction (ZD17)
  PictureBox Picture3{*this, "Picture3"};           // the world map

  // --- bound boxes of PlaceStore ---
  TextBox Text5{*this, "Text5"};  // ID
  TextBox Text2{*this, "Text2"};  // ID
  TextBox Text4{*this, "Text4"};  // ZD1 Western name (shown in modify mode)
  TextBox Text3{*this, "Text3"};  // ZD2 Chinese name (shown in modify mode)
  TextBox Text10{*this, "Text10"};  // on PlaceStore without a field
  TextBox Text27{*this, "Text27"};  // ZD17 introduction (shown in modify mode)

  // --- the add panel's name and introduction boxes and their captions ---
  TextBox Text41{*this, "Text41"};  // cover over DBGrid1
  TextBox Text47{*this, "Text47"};  // cover over DBGrid2
  TextBox Text17{*this, "Text17"};
  TextBox Text18{*this, "Text18"};
  TextBox Text19{*this, "Text19"};
  TextBox Text12{*this, "Text12"};  // Chinese name
  TextBox Text13{*this, "Text13"};  // Western name
  TextBox Text21{*this, "Text21"};  // name index ZD4
  TextBox Text14{*this, "Text14"};  // introduction

  // --- detail rows: caption boxes, bound field boxes, the add panel's entry boxes ---
  TextBox Text42{*this, "Text42"};
  TextBox Text43{*this, "Text43"};  // ZD3, a link
  TextBox Text32{*this, "Text32"};
  TextBox Text46{*this, "Text46"};  // ZD4
  TextBox Text33{*this, "Text33"};
  TextBox Text34{*this, "Text34"};  // ZD6
  TextBox Text35{*this, "Text35"};
  TextBox Text36{*this, "Text36"};  // ZD7
  TextBox Text44{*this, "Text44"};
  TextBox Text45{*this, "Text45"};  // ZD5, a link
  TextBox Text37{*this, "Text37"};
  TextBox Text38{*this, "Text38"};  // ZD8
  TextBox Text28{*this, "Text28"};
  TextBox Text29{*this, "Text29"};  // ZD10
  TextBox Text30{*this, "Text30"};
  TextBox Text31{*this, "Text31"};  // ZD11
  TextBox Text39{*this, "Text39"};
  TextBox Text40{*this, "Text40"};  // ZD9
  TextBox Text64{*this, "Text64"};  // entry for ZD3
  TextBox Text65{*this, "Text65"};  // entry for ZD4
  TextBox Text57{*this, "Text57"};  // entry for ZD6
  TextBox Text59{*this, "Text59"};  // entry for ZD7
  TextBox Text61{*this, "Text61"};  // entry for ZD5
  TextBox Text48{*this, "Text48"};  // entry for ZD8; also stands in for Text38
  TextBox Text50{*this, "Text50"};  // entry for ZD10
  TextBox Text52{*this, "Text52"};  // entry for ZD11
  TextBox Text54{*this, "Text54"};  // entry for ZD9

  // --- lower panel ---
  Label Label10{*this, "Label10"};
  Label Label11{*this, "Label11"};
  TextBox Text9{*this, "Text9"};  // the search box
  CommandButton Command29{*this, "Command29"};  // "<*>"
  CommandButton Command40{*this, "Command40"};  // "[][]"
  CommandButton Command39{*this, "Command39"};  // "Buscar"
  std::vector<std::unique_ptr<CommandButton>> Letters;  // "A" … "Z", without behaviour
  CommandButton Command33{*this, "Command33"};  // "><"
  CommandButton Command35{*this, "Command35"};  // single add
  CommandButton Command3{*this, "Command3"};    // batch add
  CommandButton Command28{*this, "Command28"};  // "修改" / "保存"
  CommandButton Command49{*this, "Command49"};  // "说明", without behaviour
  CommandButton Command27{*this, "Command27"};  // "退出"
  PictureBox Picture1{*this, "Picture1"};       // the banner

  // --- hidden: state, work boxes, subroutine buttons ---
  Label Label6{*this, "Label6"};  // SearchModeFlag
  Label Label2{*this, "Label2"};  // ListFoundFlag
  TextBox Text1{*this, "Text1"};  // PlaceDisplayName
  TextBox Text7{*this, "Text7"};  // FindNextStart
  TextBox Text8{*this, "Text8"};  // LastListedPlaceId
  TextBox Text6{*this, "Text6"};    // PlaceSearchRecord ID
  TextBox Text11{*this, "Text11"};  // PlaceSearchRecord ZD1
  TextBox Text78{*this, "Text78"};  // PlaceSearchRecord ZD2
  TextBox Text22{*this, "Text22"};  // PlaceNameRecord ID
  TextBox Text23{*this, "Text23"};  // PlaceNameRecord ZD1
  TextBox Text24{*this, "Text24"};  // PlaceNameRecord ZD2
  TextBox Text25{*this, "Text25"};  // PlaceNameRecord ZD3
  TextBox Text26{*this, "Text26"};  // PlaceNameRecord ZD4
  CommandButton Command30{*this, "Command30"};
  CommandButton Command34{*this, "Command34"};
  CommandButton Command41{*this, "Command41"};
  CommandButton Command24{*this, "Command24"};
  CommandButton Command38{*this, "Command38"};

  // --- batch file: open, checks, reshaping and writers (place_batch.cpp,
  // place_batch_checks.cpp, place_batch_writers.cpp) ---
  void Command3_Click();   // OpenOrImportPlaceFile
  void Command37_Click();  // DispatchPlaceBatch
  void Command45_Click();  // CheckEighteenFieldPlaceLines
  void Command46_Click();  // CheckFourFieldPlaceLines
  void Command47_Click();  // CheckThreeFieldPlaceLines
  void Command48_Click();  // CheckTwoFieldPlaceLines
  void Command53_Click();  // StepPlaceProgress
  void Text49_Change();    // TakeFirstCharCode
  void Command50_Click();  // RouteThreeFieldPlaces
  void Command55_Click();  // CheckThreeFieldPlaceOrder
  void Command54_Click();  // RecountReshapedPlaceLines
  void Command51_Click();  // CheckTwoFieldPlaceOrder
  void Command52_Click();  // CheckFourFieldPlaceOrder
  void Command44_Click();  // ImportTwoFieldPlaces
  void Command43_Click();  // ImportThreeFieldPlaces
  void Command36_Click();  // ImportFourFieldPlaces
  void Command42_Click();  // ImportEighteenFieldPlaces

  RichTextBox RichTextBox4{*this, "RichTextBox4"};  // PlaceBatchPanel: the file's text
  ::zuvo::CommonDialog CommonDialog{*this, "CommonDialog"};
  ProgressBar ProgressBar1{*this, "ProgressBar1"};
  TextBox Text20{*this, "Text20"};              // the current line
  RichTextBox RichTextBox5{*this, "RichTextBox5"};  // the line whose "/" are counted
  TextBox Text15{*this, "Text15"};              // the line's "/" count, then the progress value
  TextBox Text49{*this, "Text49"};              // a column's first character
  TextBox Text51{*this, "Text51"};              // its character code
  Label Label8{*this, "Label8"};                // PlaceBatchErrorFlag
  Label Label12{*this, "Label12"};              // ColumnOrderFlag
  Label Label14{*this, "Label14"};              // ReshapedLineFlag
  TextBox Text53{*this, "Text53"};  // three columns: Latin first columns less Latin second ones
  TextBox Text55{*this, "Text55"};  // three columns: lines read
  TextBox Text56{*this, "Text56"};  // three columns: lines with a Latin third column
  TextBox Text58{*this, "Text58"};  // three columns: lines with a non-Latin third column
  // Cut boxes of columns 4 to 18 of an eighteen-column line.
  TextBox Text60{*this, "Text60"}, Text62{*this, "Text62"}, Text63{*this, "Text63"}, Text66{*this, "Text66"},
      Text67{*this, "Text67"}, Text68{*this, "Text68"}, Text69{*this, "Text69"}, Text70{*this, "Text70"},
      Text71{*this, "Text71"}, Text72{*this, "Text72"}, Text73{*this, "Text73"}, Text74{*this, "Text74"},
      Text75{*this, "Text75"}, Text76{*this, "Text76"}, Text77{*this, "Text77"};
  CommandButton Command37{*this, "Command37"}, Command45{*this, "Command45"}, Command46{*this, "Command46"},
      Command47{*this, "Command47"}, Command48{*this, "Command48"}, Command53{*this, "Command53"},
      Command50{*this, "Command50"}, Command54{*this, "Command54"}, Command55{*this, "Command55"},
      Command51{*this, "Command51"}, Command52{*this, "Command52"}, Command44{*this, "Command44"},
      Command43{*this, "Command43"}, Command36{*this, "Command36"}, Command42{*this, "Command42"};

  // PlaceScanPosition: where the next partner highlight searches after.
  int64_t PlaceScanPosition = 0;

  // The nine bound detail boxes, in the order modify mode unlocks them.
  std::array<TextBox*, 9> detailBoxes() {
    return {&Text29, &Text31, &Text34, &Text36, &Text38, &Text40, &Text43, &Text45, &Text46};
  }

 private:
  void wireHandlers();

  // place_views.cpp
  void showGridView();
  void setTitle(TextView name);
  // place_search.cpp
  bool seekPlaceById(TextView id);
  int64_t placeRowById(TextView id);
  void selectListLine(RichTextBox& list, const std::string& nameIndex, TextBox& partnerName,
                      RichTextBox& partner);
  void followLink(TextBox& box);
  // place_entry.cpp
  void closeAddPanel();
  void storeSinglePlace();
  void saveModifiedPlace();
  bool addPanelOpen() const { return Text12.Visible; }

  // --- batch file (place_batch*.cpp) ---
  void designBatchPanel();
  void wireBatchHandlers();
  void closeBatchPanel();         // ClosePlacePanelOrExit with the caption "关闭"
  Text selectPanelLine();         // PlaceLineLoop step 2: the line at the caret into Text20
  void nextPanelLine();           // past the selected line and its CR LF
  Text selectPanelColumn(bool last);  // PlaceColumnStep: up to the next "/" (or CR)
  int64_t countLineSlashes(TextView line);  // CountLineSlashes
  bool isLatinColumn(TextView column);      // IsLatinColumn
  bool checkSlashCounts(int64_t slashes, TextView message);  // a count check; true when every line passes
  bool saveBackPlaceFile();       // SaveBackPlaceFile; false (reported) when the file could not be written
  void refusePlaceFile(TextView message);  // save-back, then the message unless the save failed
  void endPlaceCheck();           // progress bar hidden, Text15 "0"
  bool checkThreeFieldOrder();
  bool recountReshapedLines();
  // The writers' line loop: each line's columns, as `columns` "/"-separated
  // texts, handed to `write` between the three AddNew and the next line.
  void writePlaceLines(int columns, bool tick, const std::function<void(const std::vector<TextView>&)>& write);
  void importThreeFieldPlaces(bool reshaped);
  void writeNamedPlace(std::initializer_list<TextView> columns);
  // PlaceLineLoop with one progress tick a line: `step` takes the line's
  // columns from its start and leaves the caret at the next line's start.
  void eachPanelLine(const std::function<void()>& step);
  void emptyBoxes(std::initializer_list<TextBox*> boxes);
  BatchText placeBatchText_;  // the file the panel was opened on
};

}  // namespace zuvo
