#pragma once
// The main window. Its controls are members named as the system names them;
// its design state is the table in main_window_design.cpp; its handlers are
// spread over the files of app/, entries/ and import/ by concern.

#include <array>
#include <exception>
#include <optional>

#include "import/batch_text.h"
#include "platform/application.h"
#include "platform/control.h"
#include "platform/grid.h"
#include "platform/rich_text_box.h"
#include "platform/window.h"
#include "store/data_source.h"
#include "store/tables.h"

namespace zuvo {

// The one message-box title of the program.
inline constexpr TextView kMessageTitle = u" ZORVEK";

// Back colours the handlers use as flags (off is the button face).
inline constexpr Colour kSkipNextLookup = 0x8080FF;  // Label6: the next input change is not looked up
inline constexpr Colour kRangeHit = 0xFFC0FF;        // Label17: a cell of the range query matched
inline constexpr Colour kChainFound = 0xFFC0FF;      // Label8: a stem candidate found its verb
inline constexpr Colour kNumeralMark = 255;          // Text10: the last character is a Chinese numeral
inline constexpr Colour kReaderResultShown = 0xFFC0C0;  // Text23: the next "<*>" in reader mode shows the result
inline constexpr Colour kVerbPanelMark = 0xFFFFC0;      // Text72: the verb entry panel is open
inline constexpr Colour kWordPanelMark = 0xC0FFFF;      // Text43: the word add panel is open
inline constexpr Colour kHeadPlain = 0xFFFFC0;          // Text112: the head box's mark, off
inline constexpr Colour kHeadMarked = 0xFFC0FF;         // ... and on

// The instruction block shown in the upper pane while the sentence table is
// empty, and the variant that a key release in the input box writes.
extern const Text kHowToAddText;
extern const Text kHowToAddTextOnKeyUp;

class RangeResultLines;
class WordMergeWorker;

class FrmLexaro : public Window {
 public:
  explicit FrmLexaro(Application& app);

  void Form_Load() override;
  void Form_Unload(int& cancel) override;

  // --- start-up and shut-down ---
  void Command21_Click();  // ExitProgram
  void Command10_Click();  // ToggleCaptionSet

  // --- home screen and resets ---
  void Command20_Click();  // ResetMainWindow
  void Command72_Click();  // ResetLookupScreen
  void Command5_Click();   // ReturnToLookupScreen
  void Command16_Click();  // RestoreTextPanes
  void Command62_Click();  // EnableMainButtons
  void Command28_Click();  // ShowThreePaneLayout
  void Command30_Click();  // RestoreMainButtons
  void Command90_Click();  // CloseWordViewLayout
  void Text12_Click();
  void Text23_GotFocus();
  void Text24_GotFocus();

  // --- record-move handlers ---
  void Text2_Change();    // ShowChineseSentence
  void Text3_Change();    // ShowSpanishSentence
  void Text23_Change();   // SyncSentenceTablesById
  void Text13_Change();
  void Text20_Change();
  void Text75_Change();   // SyncVerbTablesById
  void Text51_Change();   // TakeWordEnding
  void Text112_Change();  // RestoreEnyeInBox
  void Text39_Change();   // RestoreEnyeInBox

  // --- as-you-type lookup, views and number hand-off (app/lookup*.cpp) ---
  void RichTextBox16_Change();  // AsYouTypeLookup
  void Text100_Change();        // TakeLastCharCode
  void Text106_Change();        // TrackInputLength
  void Text21_Change();         // TrackInputLength
  void Command54_Click();       // ShowVerbView
  void Command36_Click();       // HideVerbFields
  void Command76_Click();       // ShowWordViewLayout
  void Command44_Click();       // ShowNotFoundLayout
  void Command78_Click();       // HighlightQueryInPanes
  void Command48_Click();       // HighlightInputInWordView
  void Command10A_Click();      // SwitchResultView
  void Text10_Change();         // MarkChineseNumeralCode
  void Text11_Change();         // TrackFirstNonNumberChar
  void Text34_Change();         // FilterNumberChar
  void Text35_Change();         // SpellNumberInput
  void Text33_Click();          // closes the number answer

  // RangeQueryGuard: "0" after every change of the input; lets the range
  // query run once per input.
  Text RangeQueryGuard;

  // --- range query and selected-word lookup (app/range_*.cpp, app/selected_word.cpp) ---
  void Command17_Click();  // StartRangeQuery
  void Command31_Click();  // RunRangeQuery
  void Command4_Click();   // StepProgress
  void Command46_Click();
  void Command43_Click();  // FilterResultLines
  void Command70_Click();  // HighlightInputInResults
  void Command63_Click();  // FormatResultPane
  void Command33_Click();  // LookUpSelectedWord
  void Command34_Click();  // BuildStemCandidates
  void Command41_Click();  // SeekVerbEverywhere
  void Text58_Change();
  void Text59_Change();
  void Text60_Change();
  void Text61_Change();
  void Text62_Change();
  void Text81_Change();
  void Text82_Change();
  void Text50_Change();
  void Text70_Change();
  void Text74_Change();
  void Text79_Change();
  void lookUpLemmaOfSelection();

  // --- the text reader: its panes and modes, the reader word lookup and the
  //     word list of a text (app/reader.cpp, app/reader_lookup.cpp,
  //     app/word_list.cpp) ---
  void Command29_Click();  // OpenReaderText
  void Command45_Click();  // ToggleReaderMode
  void Command51_Click();  // SaveReaderText
  void Command26_Click();  // ToggleReaderPanes
  void RichTextBox8_KeyUp(int& keyCode, int shift);                  // AutoSaveReaderFile
  void RichTextBox8_MouseUp(int button, int shift, float x, float y);
  void Command74_Click();  // LookUpReaderWord
  void Command59_Click();  // CompactWordList
  void Command73_Click();  // AnalyzeReaderText
  void Command94_Click();  // AppendVerbListLine
  void Command66_Click();  // ListTextWords

  // ReaderFile: the file the reader opened, set only by a successful open and
  // forgotten when the reader closes and empties its text pane. The text
  // pane is saved to it alone, never to a file the batch import chose.
  Text ReaderFile;

 private:
  void wireReaderHandlers();
  bool saveReaderPane(RichTextBox& pane, TextView file);
  // The verb, found by its infinitive, whose VerbStore record stands ready;
  // false when VerbStore lacks it.
  bool verbStoreOn(TextView infinitive);
  // One token of the text pane looked up as a word or a verb; a hit is
  // listed and raises Label8.
  void analyzeToken(TextView key);
  // The stem ladder of the analysis over the candidate boxes.
  void analysisStemLadder();
  // One token of the second pane, for ListTextWords.
  void listToken(TextView token);

 public:

  // --- entries: add mode, sentence panels, entry-box keys (entries/*.cpp) ---
  void Command1_Click();   // ToggleAddMode
  void Command11_Click();  // ToggleBatchMode
  void Label7_Click();     // clears the verb or word panel's placeholders
  void Text88_GotFocus();
  void Command55_Click();  // OpenSentenceAddPanel
  void Command35_Click();  // ShowSentenceAddPanel
  void Command38_Click();  // SaveNewSentence
  void Text44_Change();
  void Text45_Change();
  void Command24_Click();  // EditSelectedSentence
  void Command2_Click();   // ShowSentenceEditPanel
  void Command9_Click();   // SaveEditedSentence
  void Command9_MouseDown(int button, int shift, float x, float y);  // CloseHelpWindowOnSave
  void Text40_Change();
  void Text41_Change();
  void Text26_KeyUp(int& keyCode, int shift);
  void Text27_KeyUp(int& keyCode, int shift);
  void Text39_KeyUp(int& keyCode, int shift);
  void Text41_KeyUp(int& keyCode, int shift);
  void Text42_KeyUp(int& keyCode, int shift);
  void Text45_KeyUp(int& keyCode, int shift);
  void Text116_KeyUp(int& keyCode, int shift);
  void Text119_KeyUp(int& keyCode, int shift);
  void Text42_Change();   // ClearLoneBlank
  void Text119_Change();
  void Text114_Change();  // CleanSynonymBox

  // --- keys and mouse of the input box and the panes (app/input_keys.cpp, app/pane_events.cpp) ---
  void RichTextBox16_KeyPress(int& keyAscii);
  void RichTextBox16_KeyUp(int& keyCode, int shift);
  void RichTextBox16_MouseUp(int button, int shift, float x, float y);
  void RichTextBox13_Click();
  void RichTextBox13_DblClick();
  void RichTextBox13_MouseDown(int button, int shift, float x, float y);
  void RichTextBox13_MouseUp(int button, int shift, float x, float y);
  void RichTextBox7_Click();  // LookUpWordAtCaret
  void RichTextBox7_DblClick();
  void RichTextBox7_MouseDown(int button, int shift, float x, float y);
  void RichTextBox14_GotFocus();
  void RichTextBox14_LostFocus();
  void RichTextBox14_Click();
  void RichTextBox14_KeyPress(int& keyAscii);
  void RichTextBox14_MouseUp(int button, int shift, float x, float y);
  void RichTextBox15_GotFocus();
  void RichTextBox15_LostFocus();
  void RichTextBox15_Click();
  void RichTextBox15_KeyPress(int& keyAscii);
  void RichTextBox15_MouseUp(int button, int shift, float x, float y);
  void Text109_Change();  // SelectionCharCode
  void Text39_MouseUp(int button, int shift, float x, float y);
  void Text39_DblClick();
  void Text113_MouseUp(int button, int shift, float x, float y);
  void Text90_MouseUp(int button, int shift, float x, float y);
  void Text91_MouseUp(int button, int shift, float x, float y);
  void Text32_Click();
  void Text32_MouseMove(int button, int shift, float x, float y);

  // --- previous and next record (app/record_steps.cpp) ---
  void Command23_Click();  // ShowPreviousRecord
  void Command25_Click();  // ShowNextRecord

  // --- launchers of the secondary windows (app/launchers.cpp) ---
  void Command12_Click();  // ShowConversionWindow
  void Command3_Click();   // ShowPlaceNamesWindow
  void Command27_Click();  // ShowUsageHelp
  void Command15_MouseDown(int button, int shift, float x, float y);  // ToggleHelpWindow
  void Text120_GotFocus();

  // --- the result pane toggle (app/result_pane.cpp) ---
  void Command19_Click();  // ToggleResultPane

  // --- expandable entry boxes (app/expandable_boxes.cpp) ---
  void Text40_DblClick();
  void Text41_DblClick();
  void Text42_DblClick();
  void Text43_DblClick();
  void Text44_DblClick();
  void Text45_DblClick();
  void Text114_DblClick();
  void Text116_DblClick();
  void Text119_DblClick();
  void Text26_DblClick();
  void Text27_DblClick();
  void Text90_DblClick();
  void Text96_Click();
  void Text97_Click();
  void Text4_Change();
  void Text49_Change();
  void Command52_Click();

  // InputCaretMemory: the caret the input box and the word panes last left at
  // a key or mouse release; 0 until the first.
  int64_t InputCaretMemory = 0;

  // --- verb and word entry (entries/verb_steps.cpp, entries/verb_entry.cpp,
  //     entries/word_entry.cpp, entries/view_edits.cpp) ---
  void Command6_Click();  // DeriveVerbRoot: the infinitive in Text84 and Text85, the root left in Text85
  void Command56_Click();  // OpenVerbEntryPanel
  void Command67_Click();  // SaveVerbEntry
  void Command53_Click();  // CloseVerbEntry
  void Command8_Click();   // ShowRecognizedVerb
  void Text72_Change();
  void Text72_KeyUp(int& keyCode, int shift);
  void Command81_Click();  // ShowWordAddPanel
  void Command83_Click();  // SaveNewWord
  void Command84_Click();  // LockButtonsForEntry
  void Command85_Click();  // CloseWordAddPanel
  void Text102_Change();
  void Text43_KeyUp(int& keyCode, int shift);
  void Text92_KeyUp(int& keyCode, int shift);   // MirrorVerbFields
  void Text91_KeyUp(int& keyCode, int shift);   // MirrorVerbFields
  void Text90_KeyUp(int& keyCode, int shift);   // MirrorVerbFields
  void Text112_KeyUp(int& keyCode, int shift);  // SyncWordSearchRow
  void Text113_KeyUp(int& keyCode, int shift);  // SyncWordSearchRow
  void Text114_KeyUp(int& keyCode, int shift);
  void Text112_LostFocus();
  void Text113_LostFocus();
  void Text39_LostFocus();
  void Text112_Click();
  void Text39_Click();

  // --- batch files: the batch buttons, format checks, imports and example
  // split (import/*.cpp) ---
  void Command58_Click();  // OpenOrImportSentenceFile
  void Command57_Click();  // OpenOrImportVerbFile
  void Command69_Click();  // OpenOrImportWordFile
  void Command47_Click();  // DispatchVerbBatch
  void Command71_Click();  // DispatchWordBatch
  void Command79_Click();  // CheckSentenceBatchFormat
  void Command37_Click();  // CheckWordBatchFormat
  void Command82_Click();  // CheckWordExampleBatchFormat
  void Command61_Click();  // CheckSixFieldVerbLines
  void Command39_Click();  // CheckEightFieldVerbLines
  void Command22_Click();  // ImportSentenceBatch
  void Command60_Click();  // ImportSixFieldVerbs
  void Command64_Click();  // ImportEightFieldVerbs
  void Command68_Click();  // SplitAllVerbExamples
  void Command42_Click();  // SplitVerbExamples
  void Text80_Change();    // TakeLeadCharCode
  void Command91_Click();  // ImportWordBatch
  void Command75_Click();  // ImportWordBatchWithExamples

  // Shows a message the program's way: OK only, no icon, the one title.
  void message(TextView prompt);
  // Writes HowToAddText into the upper pane (and Text1 where asked).
  void writeHowToAddText(bool alsoText1);

  // --- word batch imports (import/word_import.cpp; Command91_Click and
  // Command75_Click are declared with the batch files) ---
  void Text15_Change();    // PickTokenTailChar: the token's last character
  void Text17_Change();    // PickTokenTailChar: the token's last three characters
  void Text18_Change();    // PickTokenFirstChar
  void Text78_Change();    // MeasureTokenLength

 private:
  void wireWordImportHandlers();
  void prepareWordStaging();
  void importWordBatch(WordMergeWorker& worker);
  void stageWordLines(WordMergeWorker& worker);
  void walkTokens(WordMergeWorker& worker);
  void stepPastSelection();
  void stageKeyToken(WordMergeWorker& worker, TextView token, bool endsLine);
  void keepTokenTail(TextBox& box, int64_t n);
  void writeWorkBox(TextBox& box, TextView t);

 public:
  // --- data sources (the dictionary tables) ---
  DataSource Data1{*this, "Data1", tables::sentences()};                                   // SentenceStore
  DataSource Data2{*this, "Data2", tables::sentenceSearch()};                                   // SentenceSearchStore
  DataSource Data3{*this, "Data3", tables::verbs()};                                   // VerbStore
  DataSource Data4{*this, "Data4", tables::verbForms()};                                   // VerbFormStore
  DataSource Data5{*this, "Data5", tables::verbSearch()};                                   // VerbSearchStore
  DataSource Data6{*this, "Data6", tables::words()};                                   // WordStore
  DataSource Data7{*this, "Data7", tables::wordSearch()};                                   // WordSearchStore
  // Partners saved in one commit, in all their tables or in none.
  StoreGroup SentenceTables{&Data1, &Data2};
  StoreGroup VerbTables{&Data3, &Data4, &Data5};
  StoreGroup WordTables{&Data6, &Data7};

  // --- rich-text boxes ---
  RichTextBox RichTextBox1{*this, "RichTextBox1"};    // BatchFilePane
  RichTextBox RichTextBox2{*this, "RichTextBox2"};    // ParseBuffer
  RichTextBox RichTextBox3{*this, "RichTextBox3"};    // RangeResultPane
  RichTextBox RichTextBox4{*this, "RichTextBox4"};    // ThirdPane
  RichTextBox RichTextBox5{*this, "RichTextBox5"};    // unused
  RichTextBox RichTextBox6{*this, "RichTextBox6"};    // copy of the Spanish sentence
  RichTextBox RichTextBox7{*this, "RichTextBox7"};    // LowerPane
  RichTextBox RichTextBox8{*this, "RichTextBox8"};    // ReaderTextPane
  RichTextBox RichTextBox9{*this, "RichTextBox9"};    // on VerbStore without a field
  RichTextBox RichTextBox11{*this, "RichTextBox11"};  // ReaderWordList
  RichTextBox RichTextBox12{*this, "RichTextBox12"};  // ReaderSecondPane
  RichTextBox RichTextBox13{*this, "RichTextBox13"};  // UpperPane
  RichTextBox RichTextBox14{*this, "RichTextBox14"};  // WordPhrasesPane
  RichTextBox RichTextBox15{*this, "RichTextBox15"};  // WordMeaningPane
  RichTextBox RichTextBox16{*this, "RichTextBox16"};  // QueryBox, the input box

  // --- text boxes (bound boxes, views, panels and work boxes) ---
  TextBox Text1{*this, "Text1"};                      // a copy of HowToAddText when the sentence table is empty
  TextBox Text2{*this, "Text2"};                      // SentenceStore ZD3, the Chinese sentence
  TextBox Text3{*this, "Text3"};                      // SentenceStore ZD4, the Spanish sentence
  TextBox Text4{*this, "Text4"};
  TextBox Text5{*this, "Text5"};
  TextBox Text6{*this, "Text6"};
  TextBox Text7{*this, "Text7"};                      // VerbStore ZD1 again
  TextBox Text8{*this, "Text8"};                      // LastCharCode again
  TextBox Text9{*this, "Text9"};                      // VerbSearchStore ZD2, the examples
  TextBox Text10{*this, "Text10"};                    // LastCharCode; its back colour marks a Chinese numeral
  TextBox Text11{*this, "Text11"};
  TextBox Text12{*this, "Text12"};
  TextBox Text13{*this, "Text13"};                    // copy of the Chinese sentence; fills Text40
  TextBox Text14{*this, "Text14"};                    // SentenceSearchStore Zd1, "Chinese/Spanish"
  TextBox Text15{*this, "Text15"};
  TextBox Text17{*this, "Text17"};
  TextBox Text18{*this, "Text18"};
  TextBox Text19{*this, "Text19"};
  TextBox Text20{*this, "Text20"};                    // copy of the Spanish sentence; fills Text41
  TextBox Text21{*this, "Text21"};
  TextBox Text22{*this, "Text22"};
  TextBox Text23{*this, "Text23"};                    // SentenceStore ID
  TextBox Text24{*this, "Text24"};                    // SentenceSearchStore ID
  TextBox Text25{*this, "Text25"};
  TextBox Text26{*this, "Text26"};                    // VerbStore ZD10, synonyms
  TextBox Text27{*this, "Text27"};                    // VerbStore ZD11, antonyms
  TextBox Text28{*this, "Text28"};
  TextBox Text29{*this, "Text29"};                    // LastEnding: the last two characters of the last key word or infinitive
  TextBox Text30{*this, "Text30"};
  TextBox Text31{*this, "Text31"};                    // WordSearchStore ZD1, the word lines
  TextBox Text32{*this, "Text32"};                    // NotFoundHint
  TextBox Text33{*this, "Text33"};                    // NumberResultBox: FrmSZ writes its Spanish words here
  TextBox Text34{*this, "Text34"};
  TextBox Text35{*this, "Text35"};
  TextBox Text36{*this, "Text36"};                    // WordSearchStore ZD2, the key word
  TextBox Text37{*this, "Text37"};                    // Chinese sentence the edit panel stores
  TextBox Text39{*this, "Text39"};                    // WordStore ZD5, phrases and examples (editor of RichTextBox14)
  TextBox Text40{*this, "Text40"};
  TextBox Text41{*this, "Text41"};
  TextBox Text42{*this, "Text42"};
  TextBox Text43{*this, "Text43"};
  TextBox Text44{*this, "Text44"};
  TextBox Text45{*this, "Text45"};
  TextBox Text46{*this, "Text46"};
  TextBox Text47{*this, "Text47"};
  TextBox Text48{*this, "Text48"};                    // Spanish sentence the edit panel stores
  TextBox Text49{*this, "Text49"};
  TextBox Text50{*this, "Text50"};
  TextBox Text51{*this, "Text51"};                    // WordStore ZD1, the key word
  TextBox Text52{*this, "Text52"};                    // VerbStore ZD9, "Pas" once the examples are split
  TextBox Text53{*this, "Text53"};
  TextBox Text54{*this, "Text54"};                    // StepProgress counter, +0.3 up to "90"
  TextBox Text56{*this, "Text56"};
  TextBox Text57{*this, "Text57"};
  TextBox Text58{*this, "Text58"};
  TextBox Text59{*this, "Text59"};
  TextBox Text60{*this, "Text60"};
  TextBox Text61{*this, "Text61"};
  TextBox Text62{*this, "Text62"};
  TextBox Text63{*this, "Text63"};                    // VerbFormStore ZD1, the infinitive
  TextBox Text64{*this, "Text64"};                    // VerbStore ZD2, the root
  TextBox Text67{*this, "Text67"};
  TextBox Text70{*this, "Text70"};
  TextBox Text71{*this, "Text71"};
  TextBox Text72{*this, "Text72"};                    // infinitive of the verb entry panel
  TextBox Text73{*this, "Text73"};                    // VerbFormStore ZD3, the meaning
  TextBox Text74{*this, "Text74"};
  TextBox Text75{*this, "Text75"};                    // VerbStore ID
  TextBox Text77{*this, "Text77"};
  TextBox Text78{*this, "Text78"};
  TextBox Text79{*this, "Text79"};
  TextBox Text80{*this, "Text80"};
  TextBox Text81{*this, "Text81"};
  TextBox Text82{*this, "Text82"};
  TextBox Text83{*this, "Text83"};
  TextBox Text84{*this, "Text84"};
  TextBox Text85{*this, "Text85"};
  TextBox Text87{*this, "Text87"};                    // VerbSearchStore ZD3, the infinitive; its back colour is WordSearchRowFlag
  TextBox Text88{*this, "Text88"};                    // PaneBackdrop, behind the panes
  TextBox Text89{*this, "Text89"};
  TextBox Text90{*this, "Text90"};                    // VerbStore ZD6, the example text
  TextBox Text91{*this, "Text91"};                    // VerbStore ZD5, the Chinese meaning
  TextBox Text92{*this, "Text92"};                    // VerbStore ZD1, the infinitive (verb view)
  TextBox Text93{*this, "Text93"};                    // VerbStore ZD3, the type
  TextBox Text94{*this, "Text94"};                    // VerbStore ZD4, the preposition
  TextBox Text95{*this, "Text95"};
  TextBox Text96{*this, "Text96"};                    // VerbStore ZD7, the gerund
  TextBox Text97{*this, "Text97"};                    // VerbStore ZD8, the participle
  TextBox Text100{*this, "Text100"};                  // TakeLastCharCode: the text whose last character is coded
  TextBox Text102{*this, "Text102"};
  TextBox Text105{*this, "Text105"};
  TextBox Text106{*this, "Text106"};
  TextBox Text107{*this, "Text107"};                  // VerbSearchStore ZD1, the meaning
  TextBox Text108{*this, "Text108"};                  // VerbFormStore ZD2, the root
  TextBox Text109{*this, "Text109"};
  TextBox Text111{*this, "Text111"};
  TextBox Text112{*this, "Text112"};                  // WordStore ZD2, the Spanish word (word view)
  TextBox Text113{*this, "Text113"};                  // WordStore ZD3, the meaning (editor of RichTextBox15)
  TextBox Text114{*this, "Text114"};
  TextBox Text115{*this, "Text115"};                  // VerbFormStore ID
  TextBox Text116{*this, "Text116"};
  TextBox Text117{*this, "Text117"};                  // gerund preview of the verb entry panel
  TextBox Text118{*this, "Text118"};                  // participle preview of the verb entry panel
  TextBox Text119{*this, "Text119"};
  TextBox Text120{*this, "Text120"};                  // QueryBoxFrame, behind the input box

  // --- labels ---
  Label Label1{*this, "Label1"};
  Label Label2{*this, "Label2"};                      // its back colour is EntryModifiedFlag
  Label Label3{*this, "Label3"};
  Label Label4{*this, "Label4"};
  Label Label5{*this, "Label5"};
  Label Label6{*this, "Label6"};                      // its back colour is SkipNextLookupFlag
  Label Label7{*this, "Label7"};
  Label Label8{*this, "Label8"};                      // its back colour is BatchErrorFlag
  Label Label9{*this, "Label9"};                      // its back colour is ReaderModeFlag
  Label Label17{*this, "Label17"};                    // its back colour is RangeHitFlag
  Label Label18{*this, "Label18"};                    // strip behind Label7

  // --- command buttons (hidden ones serve as subroutines) ---
  CommandButton Command1{*this, "Command1"};
  CommandButton Command2{*this, "Command2"};
  CommandButton Command3{*this, "Command3"};
  CommandButton Command4{*this, "Command4"};
  CommandButton Command5{*this, "Command5"};
  CommandButton Command6{*this, "Command6"};
  CommandButton Command7{*this, "Command7"};
  CommandButton Command8{*this, "Command8"};
  CommandButton Command9{*this, "Command9"};
  CommandButton Command10{*this, "Command10"};
  CommandButton Command10A{*this, "Command10A"};
  CommandButton Command11{*this, "Command11"};
  CommandButton Command12{*this, "Command12"};
  CommandButton Command13{*this, "Command13"};
  CommandButton Command15{*this, "Command15"};
  CommandButton Command16{*this, "Command16"};
  CommandButton Command17{*this, "Command17"};
  CommandButton Command19{*this, "Command19"};
  CommandButton Command20{*this, "Command20"};
  CommandButton Command21{*this, "Command21"};
  CommandButton Command22{*this, "Command22"};
  CommandButton Command23{*this, "Command23"};
  CommandButton Command24{*this, "Command24"};
  CommandButton Command25{*this, "Command25"};
  CommandButton Command26{*this, "Command26"};
  CommandButton Command27{*this, "Command27"};
  CommandButton Command28{*this, "Command28"};
  CommandButton Command29{*this, "Command29"};
  CommandButton Command30{*this, "Command30"};
  CommandButton Command31{*this, "Command31"};
  CommandButton Command33{*this, "Command33"};
  CommandButton Command34{*this, "Command34"};
  CommandButton Command35{*this, "Command35"};
  CommandButton Command36{*this, "Command36"};
  CommandButton Command37{*this, "Command37"};
  CommandButton Command38{*this, "Command38"};
  CommandButton Command39{*this, "Command39"};
  CommandButton Command40{*this, "Command40"};
  CommandButton Command41{*this, "Command41"};
  CommandButton Command42{*this, "Command42"};
  CommandButton Command43{*this, "Command43"};
  CommandButton Command44{*this, "Command44"};
  CommandButton Command45{*this, "Command45"};
  CommandButton Command46{*this, "Command46"};
  CommandButton Command47{*this, "Command47"};
  CommandButton Command48{*this, "Command48"};
  CommandButton Command51{*this, "Command51"};
  CommandButton Command52{*this, "Command52"};
  CommandButton Command53{*this, "Command53"};
  CommandButton Command54{*this, "Command54"};
  CommandButton Command55{*this, "Command55"};
  CommandButton Command56{*this, "Command56"};
  CommandButton Command57{*this, "Command57"};
  CommandButton Command58{*this, "Command58"};
  CommandButton Command59{*this, "Command59"};
  CommandButton Command60{*this, "Command60"};
  CommandButton Command61{*this, "Command61"};
  CommandButton Command62{*this, "Command62"};
  CommandButton Command63{*this, "Command63"};
  CommandButton Command64{*this, "Command64"};
  CommandButton Command66{*this, "Command66"};
  CommandButton Command67{*this, "Command67"};
  CommandButton Command68{*this, "Command68"};
  CommandButton Command69{*this, "Command69"};
  CommandButton Command70{*this, "Command70"};
  CommandButton Command71{*this, "Command71"};
  CommandButton Command72{*this, "Command72"};
  CommandButton Command73{*this, "Command73"};
  CommandButton Command74{*this, "Command74"};
  CommandButton Command75{*this, "Command75"};
  CommandButton Command76{*this, "Command76"};
  CommandButton Command77{*this, "Command77"};
  CommandButton Command78{*this, "Command78"};
  CommandButton Command79{*this, "Command79"};
  CommandButton Command81{*this, "Command81"};
  CommandButton Command82{*this, "Command82"};
  CommandButton Command83{*this, "Command83"};
  CommandButton Command84{*this, "Command84"};
  CommandButton Command85{*this, "Command85"};
  CommandButton Command86{*this, "Command86"};
  CommandButton Command87{*this, "Command87"};
  CommandButton Command90{*this, "Command90"};
  CommandButton Command91{*this, "Command91"};
  CommandButton Command92{*this, "Command92"};
  CommandButton Command94{*this, "Command94"};

  // --- frames, rules, grids and dialogs ---
  Shape Shape1{*this, "Shape1"};
  Shape Shape2{*this, "Shape2"};
  Shape Shape3{*this, "Shape3"};
  Shape Shape4{*this, "Shape4"};
  Shape Shape5{*this, "Shape5"};
  LineControl Line1{*this, "Line1"};
  LineControl Line4{*this, "Line4"};
  FlexGrid MSFlexGrid1{*this, "MSFlexGrid1"};         // mirror of SentenceSearchStore
  FlexGrid MSFlexGrid2{*this, "MSFlexGrid2"};         // mirror of WordSearchStore
  FlexGrid MSFlexGrid3{*this, "MSFlexGrid3"};         // mirror of VerbSearchStore
  ProgressBar ProgressBar1{*this, "ProgressBar1"};
  StatusBar StatusBar1{*this, "StatusBar1"};
  CommonDialog CommonDialog1{*this, "CommonDialog1"};  // open dialog of the batch files and the reader
  CommonDialog CommonDialog2{*this, "CommonDialog2"};  // save-as dialog of the reader

 private:
  // --- batch files: state and shared steps (import/*.cpp) ---
  void wireImportHandlers();
  // The first press of a batch button: the open dialog and the batch pane.
  void openBatchFile(CommandButton& pressed, TextView secondCaption);
  // Reads the line at the pane's caret into its selection; empty at the end.
  void selectBatchLine();
  // The check family: every line before the first empty one holds `slashes`
  // "/" (verb files: and an infinitive of two characters or more); bad
  // lines turn red. True when the file is clean.
  bool checkBatchLines(int64_t slashes, bool verbLines);
  // Writes the marked pane back over the chosen file; false (and the user
  // told why) when it cannot be written.
  bool writeBackBatchFile();
  // An import that failed: nothing stored, the window as before the press.
  [[noreturn]] void failImport(const std::exception& e);
  void importVerbs(bool eightFields);
  // The file opened at the first press of a batch button.
  BatchText batchText_;
  // A write-back failed during this press: the press stops where it is.
  bool batchPressStopped_ = false;

  void applyDesignState();
  void wireHandlers();
  // Each concern wires its own handlers, next to their code.
  void wireLookupHandlers();
  void emptyInputReset();
  void writeLastCharCode(TextView code);
  bool lastCharIsNumberCharacter() const;
  void colourOccurrences(RichTextBox& pane, bool hidesHint);
  std::array<TextBox*, 9> verbViewBoxes();
  bool isShortLatinInput() const;
  void endProgress();
  void cleanUpRangeResult(RangeResultLines& lines, TextView input);
  void colourResultLines();
  std::array<TextBox*, 8> stemCandidateBoxes();
  void followStemChain();
  // Lengths of the candidate boxes that keep theirs in no box.
  std::array<int64_t, 5> stemLengths_{};
  void wireEntryHandlers();
  // The layout of both sentence panels around their two boxes.
  void placeSentencePanel(TextBox& upper, TextBox& lower);
  // AccentKeys: the step of the entry boxes' key-release handlers.
  static char16_t accentLetter(int keyCode, int shift);
  bool accentKeys(TextBox& box, int keyCode, int shift);
  void removeTypedTab(TextBox& box);
  // Ctrl+I types a TAB into a multi-line box before its key-up; the box it
  // went into, until that key-up.
  void noteTypedTab(TextBox& box, int keyAscii);
  TextBox* tabTypedIn_ = nullptr;
  // The lone-blank rule; true when it emptied the box.
  bool clearLoneBlank(TextBox& box, bool takesFocus, bool twoBlanks = false);
  // --- verb and word entry (entries/...) ---
  // The root of a new verb: the infinitive without its last two characters,
  // "" for a shorter one (DeriveVerbRoot through its boxes).
  Text deriveVerbRoot(TextView infinitive);
  // VerbFormsRequest: the worker FMff writes the participle into Text97 and
  // the gerund into Text96 (the current VerbStore record); a text of fewer
  // than two characters asks nothing.
  void requestVerbForms(TextView infinitive);
  void wireVerbWordHandlers();
  std::array<TextBox*, 9> verbPanelBoxes();
  // The verb's form or search store on the verb's ID; false when it has none.
  bool siblingOnVerb(DataSource& sibling);
  bool seekWordSearchRow();
  void syncWordSearchRow(TextView meaning);
  // The meaning the word's search line was last written with since the
  // last seek of that record; the line is found again by it.
  WindowValue<std::optional<Text>> wordLineMeaning_{*this};
  void bindStores();
  // TwoPaneLayout: the upper pane above the lower one.
  void twoPaneLayout();
  // ResetLookupScreen; `full` adds what ResetMainWindow closes besides.
  void resetLookupScreen(bool full);
  // The "?" to "ň" rule: every "?" of the box replaced through its selection.
  void restoreEnye(TextBox& box);
  TextBox* restoringEnye_ = nullptr;
  void wireEventHandlers();
  // The small-layout focus rule of the sentence panes; true when it moved
  // the focus (the handler stops there).
  bool smallLayoutFocus(const RichTextBox& pane);
  // The number answer closed by a pane click: two panes back, batch mode
  // left, the input emptied.
  void closeNumberAnswerFromPane();
  void leaveBatchModeIfOn();
  // The selection source marks: the one box marked, the other three not.
  void markSelectionSource(TextBox& mark);
  // The caret-memory and selection part of the word panes' mouse release.
  void wordPaneSelection(RichTextBox& pane, TextBox& mark);
  // The pane-opening steps of the word panes' editors.
  void openWordEditor(TextBox& editor, float top, float left, float width, float height, bool takesCaret);
  // The other pane's editor closed into its pane by a click on a word pane.
  void closeOtherWordEditor(TextBox& editor, RichTextBox& pane);
  void endAddModeForPanel();
  void stepRecord(bool forward);
  void stepVerbView(bool forward);
  void stepSentences(bool forward);
  void stepWordView(bool forward);
  void refreshWordPanes(bool uncolour);
  void toggleSentenceUpperBox(TextBox& box);
  void toggleSentenceLowerBox(TextBox& box);
  void toggleWordAddPair(bool expand);
  void toggleSideBoxes(TextBox& first, TextBox& second, TextBox& hidden, TextBox& meaning);
  bool verbEntryPanelOpen() const;
};

}  // namespace zuvo
