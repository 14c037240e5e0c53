#pragma once
// Rich-text box: a text box with a colour, boldness and size per character,
// the selection operations Span and UpTo, and rich-text files.

#include <filesystem>
#include <vector>

#include "platform/control.h"
#include "platform/rich_document.h"

namespace zuvo {

class RichTextBox : public TextBox {
 public:
  RichTextBox(Window& owner, std::string name);

  // Formats of the selection; on an empty selection they set the format of
  // what is typed or written next at the caret. Reading gives the format of
  // the selection's first character (or the pending one when empty).
  Colour SelColor() const;
  void setSelColor(Colour c);
  bool SelBold() const;
  void setSelBold(bool b);
  float SelFontSize() const;
  void setSelFontSize(float s);
  // setSelColor(c) and setSelBold(b) in one pass over the selection.
  void setSelColorBold(Colour c, bool b);

  // Span(set, forward, negated): with forward and negated, the selection
  // becomes the text from its start up to, not including, the first
  // character of the set (or the end of the text). Without negation it
  // extends over the characters that are in the set. Backward variants work
  // towards the start from the selection's start.
  void Span(TextView set, bool forward = true, bool negate = false);
  // UpTo(set, forward, negated): backward and not negated moves the caret
  // back to just after the nearest character of the set before it, or to
  // the start of the text; forward moves it up to the next character of the
  // set, or to the end. With negation the set is inverted.
  void UpTo(TextView set, bool forward = true, bool negate = false);

  // Loads a file (RTF, or plain text as loadRichFile reads it): its text
  // replaces the box's text and runs Change when it differs. Throws, leaving
  // the box as it was, on a file that cannot be read whole as text.
  void LoadFile(const std::filesystem::path& file);
  // Saves the box as RTF, replacing the file atomically. Throws on failure.
  void SaveFile(const std::filesystem::path& file) const;

  const FormatRuns& formats() const { return formats_; }
  CharFormat formatAt(int64_t pos) const;
  CharFormat plainFormat() const;
  RichDocument document() const;
  // Replaces text and formats at once (the caret goes to 0), running Change
  // when the text differs: for a program that rebuilds a long text in one
  // pass rather than splicing it piece by piece.
  void setDocument(RichDocument doc);

 protected:
  void textReplaced() override;
  void spliced(int64_t pos, int64_t removed, int64_t inserted) override;

 private:
  template <class F>
  void applyToSelection(F&& f);
  // Before the formats change: the first change in an event keeps them, a
  // copy of them (`replacing` false) or the runs themselves.
  void formatsChanging(bool replacing) {
    if (journal().first(keptFormats_)) keepFormats(replacing);
  }
  void keepFormats(bool replacing);

  FormatRuns formats_;
  // The format of the next insertion at the caret, set on an empty selection.
  std::optional<CharFormat> typing_;
  int64_t typingPos_ = -1;

  // The formats before the event first changed them.
  struct KeptFormats : Journaled {
    explicit KeptFormats(RichTextBox& box) : box(box) {}
    ~KeptFormats() override { box.journal().forget(*this); }
    void putBack() override;
    void letGo() override { formats.clear(); }
    RichTextBox& box;
    FormatRuns formats;
    std::optional<CharFormat> typing;
    int64_t typingPos = -1;
  };
  KeptFormats keptFormats_{*this};
};

}  // namespace zuvo
