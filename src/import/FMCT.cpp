#include "import/FMCT.h"

#include "app/FrmLexaro.h"
#include "platform/design.h"

namespace zuvo {

namespace {

constexpr DesignRow kDesign[] = {
    {.name = "Text1", .left = 120, .top = 120, .width = 1800, .height = 300},
    {.name = "Text2", .left = 2040, .top = 120, .width = 1800, .height = 300},
    {.name = "Text3", .left = 3960, .top = 120, .width = 1800, .height = 300},
    {.name = "Text13", .left = 5880, .top = 120, .width = 1800, .height = 300},
    {.name = "Text4", .left = 120, .top = 540, .width = 1800, .height = 300},
    {.name = "Text5", .left = 2040, .top = 540, .width = 1800, .height = 300},
    {.name = "Text6", .left = 3960, .top = 540, .width = 1800, .height = 300},
    {.name = "Text14", .left = 5880, .top = 540, .width = 1800, .height = 300},
    {.name = "Text7", .left = 120, .top = 960, .width = 1800, .height = 300},
    {.name = "Text8", .left = 2040, .top = 960, .width = 1800, .height = 300},
    {.name = "Text9", .left = 3960, .top = 960, .width = 1800, .height = 300},
    {.name = "Text10", .left = 5880, .top = 960, .width = 1800, .height = 300, .multiLine = true},
    {.name = "Text11", .left = 120, .top = 1380, .width = 1800, .height = 300, .multiLine = true},
    {.name = "Text12", .left = 2040, .top = 1380, .width = 1800, .height = 300},
    {.name = "Label1", .left = 3960, .top = 1380, .width = 900, .height = 300, .back = kButtonFace},
    {.name = "Command1", .left = 120, .top = 1800, .width = 900, .height = 360, .text = u"Command1"},
    {.name = "Command2", .left = 1080, .top = 1800, .width = 900, .height = 360, .text = u"Command2"},
};

}  // namespace

WordMergeWorker::WordMergeWorker(Application& app, std::string name, bool carriesThirdField)
    : Window(app, std::move(name)), carriesThirdField_(carriesThirdField) {
  Caption = u"Form1";
  Width = 7900;
  Height = 2400;
  applyDesign(*this, kDesign);

  Data1.bind(Text1, "ZD1");
  Data1.bind(Text2, "ZD2");
  Data1.bind(Text3, "ZD3");
  Data2.bind(Text4, "ZD1");
  Data2.bind(Text5, "ZD2");
  Data2.bind(Text6, "ZD3");
  if (carriesThirdField_) {
    Data1.bind(Text13, "ZD4");
    Data2.bind(Text14, "ZD4");
  }
  Data3.bind(Text7, "ZD1");
  Data3.bind(Text8, "ZD2");
  Data3.bind(Text9, "ZD3");
  Data3.bind(Text10, "ZD5");
  Data4.bind(Text11, "ZD1");
  Data4.bind(Text12, "ZD2");
  for (DataSource* d : {&Data1, &Data2, &Data3, &Data4})
    d->Error = [](int, int& response) { response = 0; };  // SilentDataError

  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
}

// A table another program kept out when the worker loaded is opened again
// here; one still held is told as in use.
bool WordMergeWorker::storesOpen() {
  return Data1.ensureOpen() && Data2.ensureOpen() && Data3.ensureOpen() && Data4.ensureOpen();
}

FrmLexaro& WordMergeWorker::lexaro() const { return app().form<FrmLexaro>(); }

Text WordMergeWorker::mergedWordLine() const {
  Text line = Text5.text() + u"◆" + Text6.text() + Text(CRLF);
  if (carriesThirdField_) line += Text14.text() + Text(CRLF);
  return line;
}

// The box's lines stay; the new one goes after them, the caret after it.
void WordMergeWorker::append(TextBox& box, TextView line) {
  box.setSelStart(Len(box.text()));
  box.setSelText(line);
}

void WordMergeWorker::Command1_Click() {
  while (!Data1.atEOF()) {
    if (Label1.BackColor == kButtonFace) {
      // Opening the next target saves the last one; one that took no line
      // is dropped.
      Data3.AddNew();
      Data4.AddNew();
      Command2_Click();  // TickMainProgress
      Label1.BackColor = kMergeTargetOpen;
    }
    const Text key = Text1.text();
    Data2.setIndex("ZD1");
    // The key's lines go into the target in one append when the key has no
    // more pool rows: appended one by one, the growing record would be
    // copied again for every line of a frequent word.
    Text lines;
    // An empty key has no match: the pool rows already merged hold an empty
    // key, and blanking one again would never end the search.
    while (!key.empty()) {
      Data2.Seek("=", key);  // also saves the pool row blanked before
      if (Data2.NoMatch()) break;
      if (Text7.text().empty()) {
        Text7.setText(key);
        Text12.setText(key);
        Text8.setText(Text5.text());
        Text9.setText(Text6.text());
      }
      lines += mergedWordLine();
      Text4.setText(u"");
      Text5.setText(u"");
      Text6.setText(u"");
    }
    if (!lines.empty()) {
      append(Text10, lines);
      append(Text11, lines);
    }
    Data1.MoveNext();
    Label1.BackColor = kButtonFace;
  }
  Data3.MoveFirst();
  Data4.MoveFirst();
  FrmLexaro& main = lexaro();
  main.ProgressBar1.Visible = false;
  main.Text30.setText(u"0");
}

void WordMergeWorker::Command2_Click() {
  FrmLexaro& main = lexaro();
  main.ProgressBar1.Visible = true;
  // Written back with at most 15 significant digits, so that the steps stay
  // exact decimals: 0.2, 0.4, … 99.8, "100".
  main.Text30.setText(NumText(Val(main.Text30.text()) + 0.2));
  const Text value = main.Text30.text();
  if (value == u"100") {
    main.ProgressBar1.Value = 0;
    main.Text30.setText(u"0");
  }
  main.ProgressBar1.Value = static_cast<float>(Val(value));
  app().progress();
}

}  // namespace zuvo
