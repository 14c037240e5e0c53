// Latin letters as a person reads them in every kind of box the windows
// draw them in (the input box, both panes, the range pane, the entry boxes,
// the conversion window's result box, the place window's small text, the
// help grid): in each face and size the box uses, "l" and "1" are told apart,
// and "I" from "l", by the ink of their glyphs drawn offscreen. A sheet of
// the glyphs is left in the test-output folder.

#include <gtest/gtest.h>

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextBlock>
#include <QTextLayout>
#include <QTest>
#include <cmath>
#include <filesystem>

#include "app/FrmLexaro.h"
#include "desktop/box_view.h"
#include "desktop/grid_view.h"
#include "support/desktop_support.h"
#include "support/desktop_views.h"
#include "support/dictionary.h"
#include "support/places.h"
#include "tools/conversion_window.h"
#include "tools/usage_help.h"

namespace zuvo::desktop {
namespace {

using namespace zuvo::testing;

const std::vector<SentencePair> kSentences = {
    {u"我们说西班牙语，也说一点儿汉语。", u"Hablamos español y también un poco de chino."},
    {u"他说了十一次。", u"Lo dijo 11 veces, el lunes 1 de julio."},
};

// The faces Latin text is laid out in: one raw font per face, size and
// weight, the Song face that draws Chinese left out.
void addLatinFaces(const QString& text, const QFont& font, std::vector<QRawFont>& out) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  for (const QGlyphRun& run : layout.glyphRuns()) {
    const QRawFont raw = run.rawFont();
    if (raw.familyName() == "AR PL UMing CN") continue;
    const bool known = std::any_of(out.begin(), out.end(), [&](const QRawFont& f) {
      return f.familyName() == raw.familyName() && f.pixelSize() == raw.pixelSize() && f.weight() == raw.weight() &&
             f.style() == raw.style();
    });
    if (!known) out.push_back(raw);
  }
}

std::vector<QRawFont> facesOfText(const QString& text, const QFont& font) {
  std::vector<QRawFont> out;
  addLatinFaces(text, font, out);
  return out;
}

// A box's text, each piece in the font of its characters' format over the
// box's own font.
std::vector<QRawFont> facesOfBox(BoxView& box) {
  QCoreApplication::processEvents();
  std::vector<QRawFont> out;
  for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment piece = it.fragment();
      addLatinFaces(piece.text(), piece.charFormat().font().resolve(box.document()->defaultFont()), out);
    }
  }
  return out;
}

// One glyph of a face, drawn alone in black on white.
QImage glyph(const QRawFont& raw, QChar c) {
  const int height = static_cast<int>(std::ceil(raw.ascent() + raw.descent())) + 2;
  QImage img(2 * height, height, QImage::Format_RGB32);
  img.fill(Qt::white);
  QGlyphRun run;
  run.setRawFont(raw);
  const QList<quint32> index = raw.glyphIndexesForString(QString(c));
  run.setGlyphIndexes(index);
  run.setPositions({QPointF(height / 2.0, std::round(raw.ascent()) + 1)});
  QPainter p(&img);
  p.setPen(Qt::black);
  p.drawGlyphRun(QPointF(0, 0), run);
  return img;
}

// How far two glyphs are apart to the eye: row by row, the difference in the
// ink each row holds (in pixels of full ink), summed, per pixel of the em.
// Where a glyph stands across its row does not count, so a glyph's side
// bearings do not make it look different; a foot, a flag or a bar does.
double apart(const QImage& a, const QImage& b, double em) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    double ink = 0;
    for (int x = 0; x < a.width(); ++x) ink += (qGray(b.pixel(x, y)) - qGray(a.pixel(x, y))) / 255.0;
    sum += std::abs(ink);
  }
  return sum / em;
}

class DesktopFacesTest : public MainWindowDesktopTest {
 protected:
  static void SetUpTestSuite() {
    writeSuiteDictionary(kSentences);
    zuvo::testing::writePlaces(folder->path(), {{u"伊利诺伊州", u"Illinois", u"美国中西部的一个州"},
                                                {u"莱里达", u"Lleida 1", u"位于西班牙东北部"}});
  }
  WindowView& open(Window& w) {
    WindowView* v = d->viewOf(w);
    EXPECT_NE(v, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(v));
    return *v;
  }
};

TEST_F(DesktopFacesTest, EveryKindOfBoxDrawsSmallLDigitOneAndCapitalIApart) {
  struct Kind {
    std::string name;
    std::function<std::vector<QRawFont>()> faces;
  };
  const Kind kinds[] = {
      {"input box",
       [&] {
         type(main->RichTextBox16, "l1I");
         return facesOfBox(box(main->RichTextBox16));
       }},
      {"upper pane",
       [&] {
         d->app().event([&] { main->RichTextBox13.setText(u"l1I hablar"); });
         return facesOfBox(box(main->RichTextBox13));
       }},
      {"lower pane", [&] { return facesOfBox(box(main->RichTextBox7)); }},
      {"range pane",  // the word looked for in bold
       [&] {
         type(main->RichTextBox16, "dijo");
         click(main->Command17);
         EXPECT_TRUE(box(main->RichTextBox3).isVisible());
         return facesOfBox(box(main->RichTextBox3));
       }},
      {"entry boxes",
       [&] {
         click(main->Command1);
         click(main->Command55);
         type(main->Text45, "Lo dijo 11 veces.");
         return facesOfBox(box(main->Text45));
       }},
      {"conversion result box",
       [&] {
         Frm计量换算* w = nullptr;
         d->app().event([&] {
           w = &d->app().form<Frm计量换算>();
           w->Show();
         });
         WindowView& v = open(*w);
         QTest::keyClicks(v.widgetFor(w->Text1), "0.0000001");
         return facesOfBox(*static_cast<BoxView*>(v.widgetFor(w->Text2)));
       }},
      {"place window's small text",
       [&] {
         frm世界地名* w = nullptr;
         d->app().event([&] { w = frm世界地名::open(d->app()); });
         WindowView& v = open(*w);
         // The grid of Western names.
         auto& grid = *static_cast<GridView*>(v.widgetFor(w->DBGrid1));
         EXPECT_EQ(grid.font().pointSizeF(), 9);
         return facesOfText("Illinois, Lleida 1", grid.font());
       }},
      {"help grid",
       [&] {
         Frm说明1* help = nullptr;
         d->app().event([&] {
           help = &d->app().form<Frm说明1>();
           help->Show();
         });
         WindowView& v = open(*help);
         return facesOfText("l1I", v.widgetFor(help->DBGrid1)->font());
       }},
  };
  // The glyphs of every face met, side by side, for a person to see.
  std::vector<std::array<QImage, 3>> sheet;
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    TearDown();  // each kind from a fresh start
    SetUp();
    const std::vector<QRawFont> faces = kind.faces();
    ASSERT_FALSE(faces.empty()) << "no Latin text drawn";
    for (const QRawFont& raw : faces) {
      SCOPED_TRACE(raw.familyName().toStdString() + " " + std::to_string(raw.pixelSize()) + " px" +
                   (raw.weight() > QFont::Normal ? " bold" : ""));
      const double em = raw.pixelSize();
      const QImage l = glyph(raw, 'l'), one = glyph(raw, '1'), capitalI = glyph(raw, 'I');
      // The face's own glyphs, not the Song face's fallbacks.
      for (QChar c : {'l', '1', 'I'}) EXPECT_TRUE(raw.supportsCharacter(c)) << char(c.unicode());
      // A foot and a flag on "1" against a bare "l": 0.3 of the em at
      // least. (A serif face that puts a flag and a foot on both comes to
      // a quarter at most.)
      EXPECT_GE(apart(l, one, em), 0.3) << "l and 1 look alike";
      // Bars at both ends of "I": a fifth at least. (Such a serif face comes
      // to a sixth at most.)
      EXPECT_GE(apart(capitalI, l, em), 0.2) << "I and l look alike";
      EXPECT_GE(apart(capitalI, one, em), 0.1) << "I and 1 look alike";
      sheet.push_back({l, one, capitalI});
    }
  }
  int width = 0, height = 0;
  for (const auto& row : sheet) {
    width = std::max(width, 3 * row[0].width());
    height += row[0].height();
  }
  QImage out(width, height, QImage::Format_RGB32);
  out.fill(Qt::white);
  {
    QPainter p(&out);
    int y = 0;
    for (const auto& row : sheet) {
      for (int i = 0; i < 3; ++i) p.drawImage(i * row[i].width(), y, row[i]);
      y += row[0].height();
    }
  }
  const std::filesystem::path dirOut = ZUVO_TEST_OUTPUT_DIR;
  std::filesystem::create_directories(dirOut);
  EXPECT_TRUE(out.save(QString::fromStdString((dirOut / "latin_glyphs.png").string())));
}

}  // namespace
}  // namespace zuvo::desktop
