#include "desktop/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace zuvo::desktop {

QString toQString(const Text& t) { return QString::fromUtf16(t.data(), static_cast<qsizetype>(t.size())); }

Text fromQString(const QString& s) { return Text(reinterpret_cast<const char16_t*>(s.utf16()), s.size()); }

QString qtFilter(const Text& filter) {
  // "description|pattern|description|pattern", patterns separated by ";"
  const QStringList parts = toQString(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(';');
    QStringList both;
    for (const QString& p : patterns) {
      both << p;
      if (p.toLower() != p) both << p.toLower();
    }
    out << parts[i] + " (" + both.join(' ') + ")";
  }
  return out.join(";;");
}

void QtDialogs::messageBox(const Text& prompt, const Text& title) {
  QMessageBox box(QMessageBox::NoIcon, toQString(title), toQString(prompt), QMessageBox::Ok, parent_);
  box.exec();
}

std::optional<Text> QtDialogs::openFile(const Text& title, const Text& filter, const Text& initial) {
  const QString f = QFileDialog::getOpenFileName(parent_, toQString(title), toQString(initial), qtFilter(filter));
  if (f.isEmpty()) return std::nullopt;
  return fromQString(f);
}

std::optional<Text> QtDialogs::saveFile(const Text& title, const Text& filter, const Text& initial) {
  const QString f = QFileDialog::getSaveFileName(parent_, toQString(title), toQString(initial), qtFilter(filter));
  if (f.isEmpty()) return std::nullopt;
  return fromQString(f);
}

}  // namespace zuvo::desktop
