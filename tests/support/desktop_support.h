#pragma once
// The set-up the desktop tests share: one QApplication for the whole run,
// and a fixture that starts the Qt front end on a data folder and takes it
// down again. Header only, as the support sources are built into every test,
// most of which know nothing of Qt.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <memory>

#include "desktop/desktop.h"
#include "support/test_support.h"

namespace zuvo::testing {

// One QApplication for the whole run, gone before the program's exit
// handlers take Qt's own globals down.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app = std::make_unique<QApplication>(argc, argv); }
  void TearDown() override { app.reset(); }
  static inline std::unique_ptr<QApplication> app;

 private:
  int argc = 1;
  char name[32] = "zuvo_desktop_test";
  char* argv[2] = {name, nullptr};
};
inline ::testing::Environment* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

inline QApplication& qt() { return *QtEnvironment::app; }

// The desktop over a fresh data folder `dir`; a test starts it and sets
// `view` to the window it looks at.
class DesktopTest : public ::testing::Test {
 protected:
  void startDesktop(const std::filesystem::path& dataDir) {
    d = std::make_unique<desktop::Desktop>(dataDir);
    d->start();
  }
  // The views go with the desktop; their deferred deletes run at once, so
  // that nothing of this test is left for the next.
  void TearDown() override {
    d.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  QWidget* widget(const Control& c) const { return view->widgetFor(c); }
  // A left click on the control, which is on the screen.
  void click(const Control& c) {
    ASSERT_TRUE(widget(c)->isVisible()) << c.name();
    QTest::mouseClick(widget(c), Qt::LeftButton);
  }
  // Typed as a user does: Latin letters as keys, Chinese through the input method.
  void type(const Control& c, const QString& text) {
    for (QChar ch : text) {
      if (ch.unicode() < 0x80) {
        QTest::keyClicks(widget(c), QString(ch));
      } else {
        QInputMethodEvent commit;
        commit.setCommitString(ch);
        QApplication::sendEvent(widget(c), &commit);
      }
    }
  }

  TempDir dir;
  std::unique_ptr<desktop::Desktop> d;
  desktop::WindowView* view = nullptr;
};

}  // namespace zuvo::testing
