#pragma once
// Real modal message boxes and file dialogs for the running program.

#include <QWidget>

#include "platform/application.h"

namespace zuvo::desktop {

class QtDialogs : public Dialogs {
 public:
  void setParent(QWidget* parent) { parent_ = parent; }
  bool parentSet() const { return parent_ != nullptr; }
  void messageBox(const Text& prompt, const Text& title) override;
  std::optional<Text> openFile(const Text& title, const Text& filter, const Text& initial) override;
  std::optional<Text> saveFile(const Text& title, const Text& filter, const Text& initial) override;

 private:
  QWidget* parent_ = nullptr;
};

// The text of one of the system's filters ("文本文件 (*.TXT)|*.TXT") as Qt
// writes it ("文本文件 (*.TXT) (*.TXT *.txt)").
QString qtFilter(const Text& filter);
QString toQString(const Text& t);
Text fromQString(const QString& s);

}  // namespace zuvo::desktop
