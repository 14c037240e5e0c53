// 上一条 and 下一条: one record back or forward in the store of the view that
// is open, with a message at either end. The word view passes over the
// neighbours that repeat the record it leaves.

#include "app/FrmLexaro.h"

namespace zuvo {

// ShowPreviousRecord
void FrmLexaro::Command23_Click() { stepRecord(false); }

// ShowNextRecord
void FrmLexaro::Command25_Click() { stepRecord(true); }

// One record back or forward in the view that is open; on an empty
// dictionary the hint of how to add instead.
void FrmLexaro::stepRecord(bool forward) {
  RichTextBox16.setText(u"");
  RichTextBox3.Visible = false;
  if (Text2.text().empty()) {
    writeHowToAddText(true);
    return;
  }
  leaveBatchModeIfOn();
  if (Text92.Visible)
    stepVerbView(forward);
  else if (Text112.Visible)
    stepWordView(forward);
  else
    stepSentences(forward);
  RichTextBox16.SetFocus();
}

// The verb view tests after the move, as the sentence step does, so that it
// never stands on no verb: a press past either end steps back at once.
void FrmLexaro::stepVerbView(bool forward) {
  if (forward) {
    if (!Data3.atEOF()) Data3.MoveNext();
    if (Data3.atEOF()) {
      Data3.MovePrevious();
      message(u"这是最后一个动词！");
    }
  } else {
    if (!Data3.atBOF()) Data3.MovePrevious();
    if (Data3.atBOF()) {
      Data3.MoveNext();
      message(u"这是第一个动词！");
    }
  }
}

void FrmLexaro::stepSentences(bool forward) {
  if (forward) {
    if (Data1.atEOF()) return;
    Data1.MoveNext();
    if (Data1.atEOF()) {
      Data1.MovePrevious();
      message(u"这是最后一条语句！");
    }
  } else {
    if (Data1.atBOF()) return;
    Data1.MovePrevious();
    if (Data1.atBOF()) {
      message(u"这是第一条语句！");
      Data1.MoveNext();
    }
  }
}

// The word panes from the current record; `uncolour` also takes away the
// occurrence colours.
void FrmLexaro::refreshWordPanes(bool uncolour) {
  RichTextBox15.setText(Text113.text());
  RichTextBox14.setText(Text39.text());
  if (!uncolour) return;
  for (RichTextBox* pane : {&RichTextBox15, &RichTextBox14}) {
    pane->setSelStart(0);
    pane->setSelLength(Len(pane->text()));
    pane->setSelColor(kWindowText);
    pane->setSelBold(false);
    pane->setSelLength(0);
  }
}

// Backwards the records of the meaning left are passed over, forwards those
// of the Spanish word left. A word without a meaning steps one record
// either way: an empty meaning says nothing about its neighbours.
void FrmLexaro::stepWordView(bool forward) {
  refreshWordPanes(true);
  RichTextBox16.SetFocus();
  const bool plain = Text113.text().empty();
  auto writePanes = [this] {
    RichTextBox14.setText(Text39.text());
    RichTextBox15.setText(Text113.text());
  };
  if (!forward) {
    const Text skip = Text113.text();
    if (!Data6.atBOF()) Data6.MovePrevious();
    if (Data6.atBOF()) {
      Data6.MoveFirst();
      message(u"这是第一个单词！");
      return;
    }
    while (!skip.empty() && Text113.text() == skip) {
      Data6.MovePrevious();
      if (Data6.atBOF()) {
        Data6.MoveFirst();
        break;
      }
    }
    writePanes();
    return;
  }
  // At the end the store steps back onto its last record, which the panes
  // show again, and says so.
  auto stepBackFromEnd = [&] {
    Data6.MovePrevious();
    writePanes();
    message(u"这是最后一条单词！");
  };
  if (Data6.atEOF()) {
    stepBackFromEnd();
    return;
  }
  // An empty skip value passes over nothing: the records of an empty Spanish
  // word are not one word.
  const Text skip = plain ? Text() : Text112.text();
  Data6.MoveNext();
  if (Data6.atEOF()) {
    stepBackFromEnd();
    return;
  }
  while (!skip.empty() && Text112.text() == skip) {
    Data6.MoveNext();
    if (Data6.atEOF()) {
      Data6.MovePrevious();
      break;
    }
  }
  writePanes();
}

}  // namespace zuvo
