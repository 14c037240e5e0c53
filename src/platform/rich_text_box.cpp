#include "platform/rich_text_box.h"

#include <algorithm>

namespace zuvo {

namespace {
bool inSet(TextView set, char16_t c) { return set.size() == 1 ? set[0] == c : set.find(c) != TextView::npos; }
}  // namespace

RichTextBox::RichTextBox(Window& owner, std::string name)
    : TextBox(owner, std::move(name), ControlKind::RichTextBox) {
  MultiLine = true;
}

CharFormat RichTextBox::plainFormat() const {
  CharFormat f;
  f.colour = kWindowText;
  f.bold = false;
  f.size = FontSize;
  return f;
}

CharFormat RichTextBox::formatAt(int64_t pos) const {
  if (pos >= 0 && pos < formats_.size()) return formats_.at(pos);
  return plainFormat();
}

void RichTextBox::keepFormats(bool replacing) {
  if (replacing)
    std::swap(keptFormats_.formats, formats_);
  else
    keptFormats_.formats = formats_;
  keptFormats_.typing = typing_;
  keptFormats_.typingPos = typingPos_;
}

void RichTextBox::KeptFormats::putBack() {
  std::swap(box.formats_, formats);
  box.typing_ = typing;
  box.typingPos_ = typingPos;
}

void RichTextBox::textReplaced() {
  TextBox::textReplaced();
  formatsChanging(true);
  formats_.assign(Len(text_), plainFormat());
  typing_.reset();
}

void RichTextBox::spliced(int64_t pos, int64_t removed, int64_t inserted) {
  // Text written over a selection takes the format of the selection's first
  // character; inserted text the pending typing format, else the format of
  // the character before it (the first character's at the start).
  const CharFormat f = removed > 0                      ? formats_.at(pos)
                       : typing_ && typingPos_ == pos ? *typing_
                       : pos > 0                        ? formats_.at(pos - 1)
                                                        : formatAt(0);
  formatsChanging(false);
  formats_.erase(pos, removed);
  formats_.insert(pos, inserted, f);
  typing_.reset();
}

template <class F>
void RichTextBox::applyToSelection(F&& f) {
  formatsChanging(false);
  if (selLength_ == 0) {
    CharFormat t = typing_ && typingPos_ == selStart_ ? *typing_
                   : selStart_ > 0                    ? formats_.at(selStart_ - 1)
                                                      : formatAt(0);
    f(t);
    typing_ = t;
    typingPos_ = selStart_;
    return;
  }
  formats_.update(selStart_, selStart_ + selLength_, f);
}

Colour RichTextBox::SelColor() const {
  if (selLength_ == 0 && typing_ && typingPos_ == selStart_) return typing_->colour;
  return formatAt(selStart_).colour;
}
void RichTextBox::setSelColor(Colour c) {
  applyToSelection([c](CharFormat& f) { f.colour = c; });
}

bool RichTextBox::SelBold() const {
  if (selLength_ == 0 && typing_ && typingPos_ == selStart_) return typing_->bold;
  return formatAt(selStart_).bold;
}
void RichTextBox::setSelBold(bool b) {
  applyToSelection([b](CharFormat& f) { f.bold = b; });
}

void RichTextBox::setSelColorBold(Colour c, bool b) {
  applyToSelection([c, b](CharFormat& f) {
    f.colour = c;
    f.bold = b;
  });
}

float RichTextBox::SelFontSize() const {
  if (selLength_ == 0 && typing_ && typingPos_ == selStart_) return typing_->size;
  return formatAt(selStart_).size;
}
void RichTextBox::setSelFontSize(float s) {
  applyToSelection([s](CharFormat& f) { f.size = s; });
}

void RichTextBox::Span(TextView set, bool forward, bool negate) {
  const int64_t n = Len(text_);
  auto take = [&](char16_t c) { return inSet(set, c) != negate; };
  if (forward) {
    int64_t j = selStart_;
    while (j < n && take(text_[j])) ++j;
    selLength_ = j - selStart_;
  } else {
    const int64_t end = selStart_ + selLength_;
    int64_t i = selStart_;
    while (i > 0 && take(text_[i - 1])) --i;
    selStart_ = i;
    selLength_ = end - i;
  }
}

void RichTextBox::UpTo(TextView set, bool forward, bool negate) {
  const int64_t n = Len(text_);
  auto stop = [&](char16_t c) { return inSet(set, c) != negate; };
  int64_t i = selStart_;
  if (forward) {
    while (i < n && !stop(text_[i])) ++i;
  } else {
    while (i > 0 && !stop(text_[i - 1])) --i;
  }
  selStart_ = i;
  selLength_ = 0;
}

void RichTextBox::LoadFile(const std::filesystem::path& file) { setDocument(loadRichFile(file, plainFormat())); }

RichDocument RichTextBox::document() const { return RichDocument{text_, formats_}; }

void RichTextBox::setDocument(RichDocument doc) {
  const bool differs = !sameText(doc.text, text_);
  textReplacing();
  formatsChanging(true);
  text_ = std::move(doc.text);
  formats_ = std::move(doc.formats);
  formats_.resize(Len(text_), plainFormat());
  selStart_ = 0;
  selLength_ = 0;
  typing_.reset();
  if (differs) changed();
}

void RichTextBox::SaveFile(const std::filesystem::path& file) const { saveRichFile(file, document()); }

}  // namespace zuvo
