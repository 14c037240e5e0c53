#include "desktop/desktop.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <algorithm>

#include "app/FrmLexaro.h"

namespace zuvo::desktop {

namespace {

QLocale chinese() { return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China); }

// Qt's own texts (the buttons of a message box, the file dialogs) in
// Simplified Chinese, as the rest of the program speaks, once for each
// QApplication; and Qt's dates, sizes and numbers in the Chinese forms,
// whatever the system's locale.
void installQtTranslations() {
  QLocale::setDefault(chinese());
  static QPointer<QTranslator> installed;
  if (installed || !QCoreApplication::instance()) return;
  auto* t = new QTranslator(QCoreApplication::instance());
  if (t->load(chinese(), "qt", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
      QCoreApplication::installTranslator(t)) {
    installed = t;
  } else {
    qWarning("Qt's Chinese translations were not found; its dialogs speak English");
    delete t;
  }
}

// Input given while the program waited for another program: dropped, so
// that a press repeated on the frozen window is not taken as a second
// gesture once it answers.
class DropInput : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::InputMethod:
      case QEvent::ContextMenu:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
      case QEvent::TouchCancel:
      case QEvent::TabletPress:
      case QEvent::TabletMove:
      case QEvent::TabletRelease:
        return true;
      case QEvent::Close:  // the window manager's close box
        return e->spontaneous();
      default:
        return false;
    }
  }
};

}  // namespace

Desktop::Desktop(std::filesystem::path dataDir) : app_(std::move(dataDir), dialogs_), user_(app_) {
  installFontSubstitutes();
  installQtTranslations();
  app_.afterEvent = [this] { syncAll(); };
  app_.onProgress = [this] { progressTick(); };
  app_.onBusy = [this](bool on) { showBusy(on); };
  dialogs_.beforeModal = [this] { syncAll(); };
}

Desktop::~Desktop() {
  app_.afterEvent = nullptr;
  app_.onProgress = nullptr;
  app_.onBusy = nullptr;
  dialogs_.beforeModal = nullptr;
  views_.clear();
}

void Desktop::start() {
  app_.event([this] { app_.form<FrmLexaro>().Show(); });
}

WindowView* Desktop::viewOf(const Window& w) const {
  auto it = views_.find(&w);
  return it == views_.end() ? nullptr : it->second.get();
}

void Desktop::syncAll() {
  if (app_.ended()) {
    for (auto& [w, v] : views_) v->detach();
    QApplication::quit();
    return;
  }
  const auto loaded = app_.windows();
  // Views of windows that were unloaded go first: their controls are gone.
  for (auto it = views_.begin(); it != views_.end();) {
    if (std::find(loaded.begin(), loaded.end(), it->first) == loaded.end()) {
      // The gesture that unloaded the window may still be inside one of its
      // widgets: the view goes once Qt is back in its event loop.
      it->second->detach();
      it->second.release()->deleteLater();
      it = views_.erase(it);
    } else {
      ++it;
    }
  }
  for (Window* w : loaded) {
    auto it = views_.find(w);
    if (!w->Visible()) {
      if (it != views_.end()) it->second->hide();
      continue;
    }
    const bool fresh = it == views_.end();
    if (fresh) {
      it = views_.emplace(w, std::make_unique<WindowView>(*w, user_)).first;
      if (!dialogs_.parentSet()) dialogs_.setParent(it->second.get());
    }
    WindowView& v = *it->second;
    v.sync();
    if (!v.isVisible()) {
      v.show();
      v.raise();
      v.activateWindow();
      v.sync();  // the focus goes to a widget once the window is shown
    }
  }
}

// Inside one long event: the bars are repainted at once, and no user input
// is taken while the handler runs.
void Desktop::progressTick() {
  if (lastProgress_.isValid() && lastProgress_.elapsed() < kProgressIntervalMs) return;
  for (auto& [w, v] : views_) v->paintProgress();
  lastProgress_.restart();
}

// The store waits on the window's thread: no event is taken meanwhile, so
// no handler runs inside the wait. The pointer is set on the windows at
// once; they are painted as they stand.
void Desktop::showBusy(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (auto& [w, v] : views_)
      if (v->isVisible()) v->repaint();
    return;
  }
  {
    DropInput drop;
    qApp->installEventFilter(&drop);
    QCoreApplication::processEvents();  // what came meanwhile: input dropped, the rest taken
    qApp->removeEventFilter(&drop);
  }
  QApplication::restoreOverrideCursor();
  for (auto& [w, v] : views_)
    if (v->isVisible()) v->repaint();
}

}  // namespace zuvo::desktop
