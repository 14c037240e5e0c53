// Random requests to the number worker: digits, Chinese numerals, date
// characters, marks and foreign characters in any order. No request may
// crash or hang the worker, every answer must be well formed, the worker
// must be back at rest after each one, and an answer must not depend on the
// request before it.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "app/FrmLexaro.h"
#include "numbers/FrmSZ.h"
#include "support/test_support.h"

namespace zuvo {
namespace {

using testing::Program;
using testing::TempDir;

// The characters requests are made of, the number-like ones more often.
const std::vector<Text>& alphabet() {
  static const std::vector<Text> chars = [] {
    std::vector<Text> v;
    for (char16_t c = u'0'; c <= u'9'; ++c) v.push_back(Text(1, c));
    for (char16_t c : TextView(u"一二三四五六七八九十零百千万亿年月日")) v.push_back(Text(1, c));
    for (char16_t c : TextView(u"%％,(（)）－-、.")) v.push_back(Text(1, c));
    for (char16_t c : TextView(u"a Z分之点〇两：")) v.push_back(Text(1, c));
    v.push_back(u"😀");  // a surrogate pair
    return v;
  }();
  return chars;
}

Text randomRequest(std::mt19937& rng) {
  const auto& chars = alphabet();
  const int len = static_cast<int>(rng() % 26);
  Text s;
  for (int i = 0; i < len; ++i) s += chars[rng() % chars.size()];
  return s;
}

bool wellFormed(const Text& answer) {
  if (answer.size() > 400) return false;
  for (size_t i = 0; i < answer.size(); ++i) {
    const char16_t c = answer[i];
    if (c >= 0xD800 && c <= 0xDFFF) return false;  // only kept characters are ever copied
    if (c < 0x20) return false;
  }
  if (answer.find(u"billon") != Text::npos) return false;
  // "cero" only for the number 0 itself.
  if (answer.find(u"cero") != Text::npos && answer != u"cero" && answer != u"cero por ciento") return false;
  return true;
}

TEST(NumbersFuzz, RandomRequestsAnswerWellFormedAndIndependentlyOfTheRequestBefore) {
  TempDir dir;
  Program p(dir.path());
  FrmSZ& sz = p.form<FrmSZ>();
  FrmLexaro& main = p.form<FrmLexaro>();
  auto ask = [&](const Text& request) {
    p.event([&] {
      sz.Text35.setText(request);
      sz.Command1.setValue(true);
    });
    return main.Text33.text();
  };

  constexpr int kRequests = 20000;
  std::mt19937 rng(4711);
  std::vector<Text> requests, answers;
  for (int i = 0; i < kRequests; ++i) {
    requests.push_back(randomRequest(rng));
    answers.push_back(ask(requests.back()));
    const Text& a = answers.back();
    SCOPED_TRACE(toUtf8(requests.back()));
    ASSERT_TRUE(wellFormed(a)) << toUtf8(a);
    ASSERT_EQ(sz.Text3.text(), a);
    ASSERT_TRUE(sz.Text1.text().empty());
    ASSERT_TRUE(sz.Text22.text().empty());
    ASSERT_TRUE(sz.Text14.text().empty() && sz.Text30.text().empty() && sz.Text31.text().empty() &&
                sz.Text32.text().empty() && sz.Text25.text().empty());
    ASSERT_EQ(sz.Label2.BackColor, kButtonFace);
    ASSERT_EQ(sz.Label4.BackColor, kScanIdle);
  }
  // The same requests again, each after a different one than the first time.
  for (int i = kRequests - 1; i >= 0; --i) {
    SCOPED_TRACE(toUtf8(requests[i]));
    ASSERT_EQ(toUtf8(ask(requests[i])), toUtf8(answers[i]));
  }
  // The requests reach the spelling members, not only the scan's early ends.
  const auto spelled = std::count_if(answers.begin(), answers.end(), [](const Text& a) { return !a.empty(); });
  EXPECT_GT(spelled, kRequests / 4);
}

}  // namespace
}  // namespace zuvo
