#include "desktop/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeView>

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

QVariant FileColumns::data(const QModelIndex& index, int role) const {
  auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
  const QModelIndex at = mapToSource(index);
  if (role != Qt::DisplayRole || !files || !at.isValid()) return QIdentityProxyModel::data(index, role);
  switch (at.column()) {
    case 1:
      if (!files->isDir(at)) return QLocale().formattedDataSize(files->size(at));
      break;
    case 2:
      if (files->isDir(at)) return QString::fromUtf8("文件夹");
      break;
    case 3: return QLocale().toString(files->lastModified(at), QLocale::ShortFormat);
    default: break;
  }
  return QIdentityProxyModel::data(index, role);
}

namespace {

// Sizes, types and dates are shown whole, and in the view: the name
// column takes the width they leave. Qt's file model reads a folder's
// files after the dialog has opened and fills in their sizes and dates
// later still, while the header sizes its columns only as rows come in:
// the columns are fitted again, once per turn of the event loop, whenever
// what they show changes.
void fitColumns(QTreeView& list, QAbstractItemModel& shown) {
  QHeaderView* header = list.header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column : {1, 2, 3}) header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  auto* refit = new QTimer(&list);
  refit->setSingleShot(true);
  refit->setInterval(0);
  QObject::connect(refit, &QTimer::timeout, &list, [&list] {
    for (int column : {1, 2, 3}) list.resizeColumnToContents(column);
  });
  const auto later = [refit] { refit->start(); };
  QObject::connect(&shown, &QAbstractItemModel::dataChanged, refit, later);
  QObject::connect(&shown, &QAbstractItemModel::rowsInserted, refit, later);
  QObject::connect(&shown, &QAbstractItemModel::layoutChanged, refit, later);
  QObject::connect(&shown, &QAbstractItemModel::modelReset, refit, later);
}

}  // namespace

std::optional<Text> QtDialogs::fileDialog(bool save, const Text& title, const Text& filter, const Text& initial) {
  if (beforeModal) beforeModal();
  QFileDialog dialog(parent(), toQString(title), toQString(initial), qtFilter(filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  auto* columns = new FileColumns(&dialog);
  dialog.setProxyModel(columns);
  if (auto* list = dialog.findChild<QTreeView*>()) fitColumns(*list, *columns);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString f = dialog.selectedFiles().first();
  if (f.isEmpty()) return std::nullopt;
  return fromQString(f);
}

std::optional<Text> QtDialogs::openFile(const Text& title, const Text& filter, const Text& initial) {
  return fileDialog(false, title, filter, initial);
}

std::optional<Text> QtDialogs::saveFile(const Text& title, const Text& filter, const Text& initial) {
  return fileDialog(true, title, filter, initial);
}

}  // namespace zuvo::desktop
