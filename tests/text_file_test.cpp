// Plain-text files as the loader reads them: the byte-order marks, strict
// UTF-8 and GBK and the choice between them when the bytes are valid in
// both, files that are no text, line ends, and files that are not regular
// files at all.

#include <gtest/gtest.h>

#include "platform/rich_document.h"
#include "platform/text_file.h"
#include "support/files.h"
#include "support/test_support.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;
using namespace std::string_literals;

// Real lines of the dictionary's batch files, as GBK writes them (ñ as ň).
const std::vector<Text> kRealLines = {
    u"一/uno",
    u"二/dos",
    u"十/diez",
    u"好/bueno",
    u"书/libro",
    u"水/agua",
    u"人/persona",
    u"大/grande",
    u"小/pequeňo",
    u"山/montaňa",
    u"鼻/nariz",
    u"谢谢/gracias",
    u"你好。/Hola.",
    u"再见！/¡Adiós!",
    u"我吃饭。/Como.",
    u"明天见。/Hasta maňana.",
    u"新年/aňo nuevo",
    u"孩子/niňo",
    u"学习/estudiar",
    u"中文/chino",
    u"一月/enero",
    u"图书馆/biblioteca",
    u"百分之五十/cincuenta por ciento",
    u"他说西班牙语。/Él habla espaňol.",
    u"你叫什么名字？/¿Cómo te llamas?",
    u"我是中国人。/Soy chino.",
    u"今天天气很好，我们去公园吧。/Hoy hace buen tiempo, vamos al parque.",
    u"Éste es mi libro./这是我的书。",
    u"¿Dónde está la estación?/车站在哪儿？",
    u"Me gusta el té verde./我喜欢绿茶。",
    u"“你好”是问候语。/«Hola» es un saludo.",
    u"hablar/-/规则/a/说/Hablo con él.我和他说话。",
    u"comer/-/规则/-/吃/Como pan.我吃面包。",
    u"ir/-/不规则/a/去/Voy a casa.我回家。/venir/volver",
    u"casa/房子/una casa grande",
    u"perro/狗",
    u"corazón/心",
    u"pingüino/企鹅",
    u"canción/歌曲",
    u"árbol/树",
    u"lápiz/铅笔",
    u"aňo/年",
    u"seňor/先生",
    u"西班牙/Espaňa",
    u"北京/Pekín",
    u"马德里/Madrid",
    u"墨西哥/México",
    u"秘鲁/Perú",
    u"亚洲/Asia/世界最大的洲",
    u"智利/Chile/南美洲国家",
    u"阿根廷/Argentina",
    u"哥伦比亚/Colombia",
};

// The same line as a UTF-8 file would hold it: ñ as ñ.
Text inUtf8Files(TextView line) {
  Text t(line);
  for (char16_t& c : t)
    if (c == u'ň') c = u'ñ';
  return t;
}

// Every character of GB2312's two levels, in code order.
std::vector<Text> gb2312Ideographs() {
  std::vector<Text> out;
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      if (auto t = fromGbkExactly(bytes)) out.push_back(*t);
    }
  }
  return out;
}

Text joined(const std::vector<Text>& lines) {
  Text t;
  for (const Text& l : lines) t += l + u"\r\n";
  return t;
}

// A text that decodes to something else than it is, with what it became.
struct Misread {
  Text line, got;
};

std::vector<Misread> misreads(const std::vector<Text>& lines, bool utf8) {
  std::vector<Misread> out;
  for (const Text& line : lines) {
    const Text want = utf8 ? inUtf8Files(line) : line;
    const std::string bytes = utf8 ? toUtf8(want) : toGbk(want);
    if (!utf8 && fromGbk(bytes) != want) continue;  // not a line a GBK file can hold
    Text got;
    try {
      got = decodeTextFile(bytes);
    } catch (const std::exception& e) {
      got = u"(refused) " + fromUtf8(e.what());
    }
    if (got != want) out.push_back({want, got});
  }
  return out;
}

std::string shown(const std::vector<Misread>& m) {
  std::string out;
  for (size_t i = 0; i < m.size() && i < 20; ++i) out += toUtf8(m[i].line) + " -> " + toUtf8(m[i].got) + "\n";
  return out + std::to_string(m.size()) + " misread";
}

TEST(TextFile, RealLinesReadRightInGbkAndInUtf8AloneAndTogether) {
  for (const bool utf8 : {false, true}) {
    SCOPED_TRACE(utf8 ? "UTF-8" : "GBK");
    // Each line as a file of its own, with and without its line end.
    EXPECT_EQ(shown(misreads(kRealLines, utf8)), "0 misread");
    std::vector<Text> ended;
    for (const Text& l : kRealLines) ended.push_back(l + u"\r\n");
    EXPECT_EQ(shown(misreads(ended, utf8)), "0 misread");
    // Files of the first n lines, up to all of them.
    std::vector<Text> files;
    for (size_t n = 2; n <= kRealLines.size(); ++n)
      files.push_back(joined(std::vector<Text>(kRealLines.begin(), kRealLines.begin() + static_cast<long>(n))));
    EXPECT_EQ(shown(misreads(files, utf8)), "0 misread");
  }
}

TEST(TextFile, EveryCommonIdeographReadsRightInGbkAndInUtf8FromOneCharacterToThousandsOfLines) {
  const std::vector<Text> ideographs = gb2312Ideographs();
  ASSERT_EQ(ideographs.size(), 6763u);
  std::vector<Text> single, words, pairs, triples, quadruples, spanish;
  for (size_t i = 0; i < ideographs.size(); ++i) {
    const auto at = [&](size_t k) { return ideographs[k % ideographs.size()]; };
    const Text a = at(i), b = at(i * 7 + 1), c = at(i * 13 + 5), d = at(i * 29 + 11);
    single.push_back(a + u"/uno");
    words.push_back(a + at(i * 11 + 3));
    pairs.push_back(a + b + u"/dos");
    triples.push_back(a + b + c + u"/tres");
    quadruples.push_back(u"cuatro/" + a + b + c + d);
    spanish.push_back(u"mañana " + a + b + c);
  }
  for (const bool utf8 : {false, true}) {
    SCOPED_TRACE(utf8 ? "UTF-8" : "GBK");
    EXPECT_EQ(shown(misreads(ideographs, utf8)), "0 misread");
    EXPECT_EQ(shown(misreads(single, utf8)), "0 misread");
    EXPECT_EQ(shown(misreads(words, utf8)), "0 misread");
    EXPECT_EQ(shown(misreads(pairs, utf8)), "0 misread");
    EXPECT_EQ(shown(misreads(triples, utf8)), "0 misread");
    EXPECT_EQ(shown(misreads(quadruples, utf8)), "0 misread");
    // A GBK file has no ñ: it writes ň.
    std::vector<Text> s = spanish;
    if (!utf8)
      for (Text& l : s) l = typedText(l);
    EXPECT_EQ(shown(misreads(s, utf8)), "0 misread");
    // Thousands of lines in one file.
    EXPECT_EQ(shown(misreads({joined(pairs)}, utf8)), "0 misread");
  }
}

TEST(TextFile, AByteOrderMarkNamesTheEncoding) {
  const std::vector<Text> lines = {u"新年/año nuevo", u"鸵鸟/Ñandú 𠀀"};
  for (const Encoding enc : {Encoding::Utf8Bom, Encoding::Utf16Le, Encoding::Utf16Be})
    EXPECT_EQ(decodeTextFile(fileBytes(lines, enc)), u"新年/año nuevo\r\n鸵鸟/Ñandú 𠀀\r\n");
  // A UTF-16 file of Latin text is full of NUL bytes, yet is text.
  EXPECT_EQ(decodeTextFile(fileBytes({u"uno/一"}, Encoding::Utf16Le)), u"uno/一\r\n");
}

TEST(TextFile, BytesThatAreNoTextAreRefusedWithTheReason) {
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"neither UTF-8 nor GBK", "uno/\xFF\xFE\xFD", "neither UTF-8 nor GBK"},
      {"a GBK lead byte at the end", "uno/\xD2", "neither UTF-8 nor GBK"},
      {"a UTF-8 mark on GBK bytes", "\xEF\xBB\xBF\xC4\xE3/hola", "not valid UTF-8"},
      {"odd UTF-16", "\xFF\xFE\x00\x4E/"s, "not valid UTF-16LE"},
      {"a lone surrogate", "\xFE\xFF\xDC\x00\x00/"s, "not valid UTF-16BE"},
      {"NUL", "uno\0dos"s, "NUL"},
      {"NUL in UTF-16", "\xFF\xFE" "a\0\0\0"s, "NUL"},
      {"a control character", "uno/\x01\x02", "control characters"},
      {"DEL", "uno/\x7F", "control characters"},
      {"a C1 control in UTF-8", "uno/\xC2\x85\xE4\xB8\x80", "control characters"},
  };
  for (const auto& c : cases) {
    try {
      const Text t = decodeTextFile(c.bytes);
      ADD_FAILURE() << c.name << ": read as " << toUtf8(t);
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.name << ": " << e.what();
    }
  }
  // TAB, CR and LF are text.
  EXPECT_EQ(decodeTextFile("a\tb\r\nc\rd\n"), u"a\tb\r\nc\rd\n");
}

TEST(TextFile, LoadingEndsEveryLineInCrLfAndDropsCrsBeforeACrLf) {
  TempDir dir;
  const auto file = dir.path() / "t.txt";
  const struct {
    std::string bytes;
    Text text;
  } cases[] = {
      {"a\r\r\nb\r\r\n", u"a\r\nb\r\n"},
      {"a\r\r\r\nb", u"a\r\nb"},
      {"a\nb\rc\r\n", u"a\r\nb\r\nc\r\n"},
      {"a\r\rb", u"a\r\n\r\nb"},  // CRs with no LF after them stay line ends
      {"a\r\n\r\nb", u"a\r\n\r\nb"},
  };
  for (const auto& c : cases) {
    writeBytes(file, c.bytes);
    EXPECT_EQ(loadRichFile(file, CharFormat{}).text, c.text) << c.bytes;
  }
}

TEST(TextFile, AFileThatIsNotARegularFileIsRefusedBeforeAnyRead) {
  TempDir dir;
  const Fifo fifo(dir.path() / "fifo.txt");
  for (const auto& [path, reason] : {std::pair{fifo.path(), "not a regular file"}, std::pair{dir.path(), "folder"},
                                     std::pair{std::filesystem::path("/dev/null"), "not a regular file"}}) {
    try {
      loadRichFile(path, CharFormat{});
      ADD_FAILURE() << path << " was read";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
    }
  }
}

TEST(TextFile, RichTextWhoseCharactersCannotAllBeReadIsRefused) {
  TempDir dir;
  const auto file = dir.path() / "t.rtf";
  writeBytes(file, "{\\rtf1\\ansi\\ansicpg936 uno\\'ff\\'ff}");
  EXPECT_THROW(loadRichFile(file, CharFormat{}), std::runtime_error);
  writeBytes(file, "{\\rtf1\\ansi\\ansicpg936 \\'d2\\'bb/uno\\par}");
  EXPECT_EQ(loadRichFile(file, CharFormat{}).text, u"一/uno\r\n");
}

}  // namespace
}  // namespace zuvo
