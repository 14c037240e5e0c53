// The place window's batch panel on the desktop (Qt offscreen): the batch
// button and the real open dialog, the panel over the place lists, a refused
// file's message box, and the same file opened again with its red lines;
// screenshots of the panel for a person to look at.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "desktop/desktop.h"
#include "support/places.h"

namespace zuvo::desktop {
namespace {

using zuvo::testing::TempDir;

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app = std::make_unique<QApplication>(argc, argv); }
  void TearDown() override { app.reset(); }
  static inline std::unique_ptr<QApplication> app;

 private:
  int argc = 1;
  char name[32] = "desktop_place_batch_test";
  char* argv[2] = {name, nullptr};
};
[[maybe_unused]] auto* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Answers the next modal dialog once it is up.
void whenModal(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(20, [answer] {
    if (QWidget* m = QApplication::activeModalWidget()) return answer(m);
    whenModal(answer);
  });
}

class DesktopPlaceBatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zuvo::testing::writePlaces(dir.path(), {{u"亚洲", u"Asia", u"世界最大的洲"}, {u"西班牙", u"España", u"位于欧洲西南部"}});
    d = std::make_unique<Desktop>(dir.path());
    d->start();
    d->app().event([&] { w = frm世界地名::open(d->app()); });
    ASSERT_NE(w, nullptr);
    view = d->viewOf(*w);
    ASSERT_NE(view, nullptr);
  }
  void TearDown() override {
    d.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  QWidget* widget(const Control& c) const { return view->widgetFor(c); }
  void click(const Control& c) { QTest::mouseClick(widget(c), Qt::LeftButton, {}, QPoint(5, 5)); }
  // The batch button with the file chosen in the open dialog.
  void openFile(const std::filesystem::path& file) {
    if (!w->Command3.Visible) click(w->Command33);
    ASSERT_TRUE(widget(w->Command3)->isVisible());
    QString title;
    whenModal([&title, file](QWidget* m) {
      auto* dlg = qobject_cast<QFileDialog*>(m);
      if (!dlg) {
        m->close();
        return;
      }
      title = dlg->windowTitle();
      dlg->selectFile(QString::fromStdString(file.string()));
      static_cast<QDialog*>(dlg)->accept();
    });
    click(w->Command3);
    EXPECT_EQ(title, QString("打开"));
  }
  void shoot(const char* name) {
    const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
    std::filesystem::create_directories(out);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    ASSERT_TRUE(view->grab().save(QString::fromStdString((out / name).string())));
  }

  TempDir dir;
  TempDir files;
  std::unique_ptr<Desktop> d;
  frm世界地名* w = nullptr;
  WindowView* view = nullptr;
};

TEST_F(DesktopPlaceBatchTest, ARefusedFileComesBackWithItsRedLines) {
  const auto file = files.path() / "places.txt";
  std::ofstream(file, std::ios::binary) << toGbk(u"Lima/利马\r\nQuito/基多/厄瓜多尔\r\nRoma/罗马\r\nParis\r\n");
  openFile(file);
  ASSERT_TRUE(widget(w->RichTextBox4)->isVisible());
  EXPECT_EQ(widget(w->RichTextBox4)->geometry(), view->scale().rect(268, 388, 9400, 2800));
  EXPECT_FALSE(widget(w->Label3)->isVisible());
  EXPECT_FALSE(widget(w->Command33)->isEnabled());
  EXPECT_EQ(static_cast<QAbstractButton*>(widget(w->Command27))->text().remove('&'), QString("关闭"));
  shoot("place_batch_panel.png");

  QString message;
  whenModal([&message](QWidget* m) {
    if (auto* box = qobject_cast<QMessageBox*>(m)) message = box->text();
    m->close();
  });
  click(w->Command3);
  EXPECT_EQ(message, QString("您的格式中有部分错误！请按要求在 WORD 中检查！"));
  EXPECT_FALSE(widget(w->RichTextBox4)->isVisible());
  EXPECT_TRUE(widget(w->DBGrid1)->isVisible());

  // Opened again, the written-back file shows its bad lines in red.
  openFile(file);
  ASSERT_TRUE(widget(w->RichTextBox4)->isVisible());
  EXPECT_EQ(w->RichTextBox4.formatAt(Len(u"Lima/利马\r\n")).colour, Colour(255));
  EXPECT_NE(w->RichTextBox4.formatAt(0).colour, Colour(255));
  shoot("place_batch_red_lines.png");
}

}  // namespace
}  // namespace zuvo::desktop
