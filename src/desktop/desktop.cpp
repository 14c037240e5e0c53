#include "desktop/desktop.h"

#include <QApplication>
#include <algorithm>

#include "app/FrmLexaro.h"

namespace zuvo::desktop {

Desktop::Desktop(std::filesystem::path dataDir) : app_(std::move(dataDir), dialogs_), user_(app_) {
  app_.afterEvent = [this] { syncAll(); };
}

Desktop::~Desktop() {
  app_.afterEvent = nullptr;
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
    for (auto& [w, v] : views_) v->hide();
    QApplication::quit();
    return;
  }
  const auto loaded = app_.windows();
  // Views of windows that were unloaded go first: their controls are gone.
  for (auto it = views_.begin(); it != views_.end();) {
    if (std::find(loaded.begin(), loaded.end(), it->first) == loaded.end()) {
      // The gesture that unloaded the window may still be inside one of its
      // widgets: the view goes once Qt is back in its event loop.
      it->second->hide();
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
    if (it == views_.end()) {
      it = views_.emplace(w, std::make_unique<WindowView>(*w, user_)).first;
      if (!dialogs_.parentSet()) dialogs_.setParent(it->second.get());
    }
    it->second->sync();
    it->second->show();
  }
}

}  // namespace zuvo::desktop
