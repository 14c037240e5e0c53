#pragma once
// A small set of places written through the place window's own stores, as a
// batch import fills them, and the window opened on it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "places/place_window.h"
#include "support/test_support.h"

namespace zuvo::testing {

struct PlaceRow {
  Text zh, west, intro;
  Text region = u"";   // ZD3 "本地所属:", a link
  Text capital = u"";  // ZD5 "省 会:", a link
};

// Writes the places with IDs 1, 2, …; each search text is the Chinese name,
// the Western name, "/" and the introduction, as the single add writes it.
inline void writePlaces(const std::filesystem::path& dataDir, const std::vector<PlaceRow>& places) {
  Program p(dataDir);
  p.event([&] {
    auto& w = p.form<frm世界地名>();
    for (const auto& pl : places) {
      w.Data1.AddNew();
      w.Text4.setText(pl.west);
      w.Text3.setText(pl.zh);
      w.Text43.setText(pl.region);
      w.Text45.setText(pl.capital);
      w.Text27.setText(pl.intro);
      w.Data2.AddNew();
      w.Text11.setText(pl.zh + pl.west + u"/" + pl.intro);
      w.Data3.AddNew();
      w.Text23.setText(pl.west);
      w.Text24.setText(pl.zh);
    }
    for (DataSource* d : {&w.Data1, &w.Data2, &w.Data3}) d->MoveFirst();
  });
}

// Opens the place window as the main window's "[地名]" does.
inline frm世界地名* openPlaces(Program& p) {
  frm世界地名* w = nullptr;
  p.event([&] { w = frm世界地名::open(p.app()); });
  return w;
}

// The place window opened on a program of the test's own folder `dir`.
class PlaceWindowTest : public ::testing::Test {
 protected:
  // The places first, if there are any; none leaves the place tables empty.
  void start(const std::vector<PlaceRow>& places) {
    if (!places.empty()) writePlaces(dir.path(), places);
    p = std::make_unique<Program>(dir.path());
    w = openPlaces(*p);
    ASSERT_NE(w, nullptr);
  }
  User& user() { return p->user(); }

  TempDir dir;
  std::unique_ptr<Program> p;
  frm世界地名* w = nullptr;
};

}  // namespace zuvo::testing
