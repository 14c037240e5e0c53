#pragma once
// Real modal message boxes and file dialogs for the running program.

#include <QIdentityProxyModel>
#include <QWidget>
#include <functional>

#include "desktop/look.h"
#include "platform/application.h"

namespace zuvo::desktop {

class QtDialogs : public Dialogs {
 public:
  void setParent(QWidget* parent) { parent_ = parent; }
  bool parentSet() const { return parent_ != nullptr; }
  // Runs before a box opens in the middle of a handler, so that the windows
  // behind it show what the handler has done so far.
  std::function<void()> beforeModal;

  // OK only, no icon, the given title.
  void messageBox(const Text& prompt, const Text& title) override;
  std::optional<Text> openFile(const Text& title, const Text& filter, const Text& initial) override;
  std::optional<Text> saveFile(const Text& title, const Text& filter, const Text& initial) override;

 private:
  QWidget* parent();
  std::optional<Text> fileDialog(bool save, const Text& title, const Text& filter, const Text& initial);
  QWidget* parent_ = nullptr;
};

// A file dialog's columns in the program's language: Qt's file model
// writes sizes and dates in the system's locale, and names a folder's type
// with a text its Chinese translations lack.
class FileColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex& index, int role) const override;
};

// The text of one of the system's filters ("文本文件 (*.TXT)|*.TXT") as Qt
// writes it ("文本文件 (*.TXT *.txt)"): patterns match either case, and
// "*.*" matches every file as it does on the system.
QString qtFilter(const Text& filter);

}  // namespace zuvo::desktop
