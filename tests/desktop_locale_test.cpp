// Qt's own texts and forms on the desktop (Qt offscreen) under a system
// locale that is not Chinese: the program speaks Chinese whatever the
// system's locale, in its dialogs' dates, sizes and types too.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFile>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "app/FrmLexaro.h"

#include "desktop/look.h"
#include "support/desktop_support.h"

namespace zuvo::desktop {
namespace {

using zuvo::testing::DesktopTest;
using zuvo::testing::qt;
using zuvo::testing::TempDir;

// The run's system locale is C, set before the run's QApplication is made.
const bool kSystemLocaleC = [] {
  setenv("LC_ALL", "C.UTF-8", 1);
  setenv("LANG", "C.UTF-8", 1);
  unsetenv("LANGUAGE");
  return true;
}();

class DesktopLocaleTest : public DesktopTest {
 protected:
  static void SetUpTestSuite() { qt(); }
  void SetUp() override {
    ASSERT_TRUE(kSystemLocaleC);
    startDesktop(dir.path());
  }
};

TEST_F(DesktopLocaleTest, QtsFormsAreChineseUnderTheCLocale) {
  ASSERT_NE(QLocale::system().language(), QLocale::Chinese) << "the run's system locale is not C";
  const QLocale l;
  EXPECT_EQ(l.language(), QLocale::Chinese);
  EXPECT_EQ(l.script(), QLocale::SimplifiedChineseScript);
  EXPECT_EQ(l.territory(), QLocale::China);
  const QDateTime t(QDate(2024, 3, 5), QTime(14, 30));
  EXPECT_EQ(l.toString(t, QLocale::ShortFormat).toStdString(), "2024/3/5 14:30");
  EXPECT_TRUE(l.toString(t.date(), QLocale::LongFormat).contains(QString::fromUtf8("星期二")));
}

// The file dialog as the program opens it: a folder's type, a file's date
// and size, and the buttons, in Chinese, the date shown whole.
TEST_F(DesktopLocaleTest, TheFileDialogSpeaksChinese) {
  TempDir folder;
  std::filesystem::create_directory(folder.path() / "sub");
  std::ofstream(folder.path() / "a.txt") << std::string(2048, 'x');
  // The widest of dates: two-figure month, day and hour.
  const QDateTime wide(QDate(2029, 12, 28), QTime(23, 58));
  QFile a(QString::fromStdString((folder.path() / "a.txt").string()));
  ASSERT_TRUE(a.open(QIODevice::ReadWrite));
  ASSERT_TRUE(a.setFileTime(wide, QFileDevice::FileModificationTime));
  a.close();
  const QString root = QString::fromStdString(folder.path().string());
  auto& main = d->app().form<FrmLexaro>();
  main.CommonDialog1.FileName = fromQString(root + "/a.txt");  // the dialog opens in its folder
  struct Seen {
    QString type, size, date, dateWanted, cancel;
    int dateColumn = 0, dateWidth = 0;
  };
  std::optional<Seen> seen;
  int tries = 0;
  std::function<void()> look = [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* f = qobject_cast<QFileDialog*>(w);
      if (!f || !f->isVisible()) continue;
      auto* list = f->findChild<QTreeView*>("treeView");
      auto* files = f->findChild<QFileSystemModel*>();
      if (!list || !files) break;
      QAbstractItemModel& shown = *list->model();
      const QModelIndex top = list->rootIndex();
      QModelIndex sub, file;
      for (int r = 0; r < shown.rowCount(top); ++r) {
        const QModelIndex i = shown.index(r, 0, top);
        if (i.data().toString() == "sub") sub = i;
        if (i.data().toString() == "a.txt") file = i;
      }
      if ((!sub.isValid() || !file.isValid()) && ++tries < 500) break;
      Seen s;
      s.type = sub.siblingAtColumn(2).data().toString();
      s.size = file.siblingAtColumn(1).data().toString();
      s.date = file.siblingAtColumn(3).data().toString();
      s.dateWanted = QLocale().toString(files->lastModified(files->index(root + "/a.txt")), QLocale::ShortFormat);
      s.dateColumn = list->columnWidth(3);
      s.dateWidth = static_cast<QAbstractItemView*>(list)->sizeHintForColumn(3);  // the dates with their margins
      if (auto* buttons = f->findChild<QDialogButtonBox*>())
        s.cancel = buttons->button(QDialogButtonBox::Cancel)->text();
      seen = s;
      f->reject();
      return;
    }
    QTimer::singleShot(10, look);
  };
  QTimer::singleShot(0, look);
  d->app().event([&] { main.CommonDialog1.ShowOpen(); });
  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(seen->type.toStdString(), "文件夹");
  EXPECT_EQ(seen->size, QLocale().formattedDataSize(2048)) << seen->size.toStdString();
  EXPECT_EQ(seen->date.toStdString(), seen->dateWanted.toStdString());
  EXPECT_EQ(seen->date.toStdString(), "2029/12/28 23:58");
  EXPECT_GE(seen->dateColumn, seen->dateWidth);
  EXPECT_EQ(seen->cancel.toStdString(), "取消");
}

}  // namespace
}  // namespace zuvo::desktop
