#include "desktop/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace zuvo::desktop {

QString qtFilter(const Text& filter) {
  // "description|pattern|description|pattern", patterns separated by ";"
  const QStringList parts = toQString(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (QString p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      p = p.trimmed();
      if (p == "*.*") p = "*";
      if (!patterns.contains(p)) patterns << p;
      if (p.toLower() != p && !patterns.contains(p.toLower())) patterns << p.toLower();
    }
    // The description's own "(*.TXT)" gives way to the patterns Qt matches.
    QString description = parts[i];
    description.remove(QRegularExpression("\\s*\\([^()]*\\)\\s*$"));
    out << description + " (" + patterns.join(' ') + ")";
  }
  return out.join(";;");
}

QWidget* QtDialogs::parent() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  return parent_;
}

void QtDialogs::messageBox(const Text& prompt, const Text& title) {
  if (beforeModal) beforeModal();
  QMessageBox box(QMessageBox::NoIcon, toQString(title), toQString(prompt), QMessageBox::Ok, parent());
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
}

std::optional<Text> QtDialogs::openFile(const Text& title, const Text& filter, const Text& initial) {
  if (beforeModal) beforeModal();
  const QString f = QFileDialog::getOpenFileName(parent(), toQString(title), toQString(initial), qtFilter(filter));
  if (f.isEmpty()) return std::nullopt;
  return fromQString(f);
}

std::optional<Text> QtDialogs::saveFile(const Text& title, const Text& filter, const Text& initial) {
  if (beforeModal) beforeModal();
  const QString f = QFileDialog::getSaveFileName(parent(), toQString(title), toQString(initial), qtFilter(filter));
  if (f.isEmpty()) return std::nullopt;
  return fromQString(f);
}

}  // namespace zuvo::desktop
