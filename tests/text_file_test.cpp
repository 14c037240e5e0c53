// Plain-text files as the loader reads them: the byte-order marks, strict
// UTF-8 and GBK and the choice between them when the bytes are valid in
// both, files that are no text, line ends, and files that are not regular
// files at all.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>

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

// Bytes that read as strict UTF-8 and as strict GBK, whose two readings
// cost the same, are taken as GBK: the dictionary's own files are GBK.
TEST(TextFile, BytesThatReadAlikeInUtf8AndInGbkAreTakenAsGbk) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      // è inside a word (a Latin-1 letter) against a common ideograph after a letter.
      {"a letter and one ideograph", "a\xC3\xA8 "},
      {"in a line", "uno/pa\xC3\xA8 dos"},
      {"twice", "a\xC3\xA8 b\xC3\xA8 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<Text> gbk = fromGbkExactly(c.bytes);
    ASSERT_TRUE(gbk);
    ASSERT_TRUE(isValidUtf8(c.bytes));
    const Text utf8 = fromUtf8(c.bytes);
    ASSERT_NE(utf8, *gbk);
    ASSERT_EQ(textLikeness(utf8), textLikeness(*gbk)) << "not a tie";
    EXPECT_EQ(toUtf8(decodeTextFile(c.bytes)), toUtf8(*gbk));
  }
  // One step more likely as UTF-8 is read as UTF-8: a Spanish letter costs less.
  EXPECT_EQ(decodeTextFile("a\xC3\xA9 "), u"aé ");
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
      {"neither UTF-8 nor GBK", "uno/\xFF\xFE\xFD", "既不是 UTF-8 文本，也不是 GBK 文本"},
      {"a GBK lead byte at the end", "uno/\xD2", "既不是 UTF-8 文本，也不是 GBK 文本"},
      {"a UTF-8 mark on GBK bytes", "\xEF\xBB\xBF\xC4\xE3/hola", "标明是 UTF-8 编码"},
      {"odd UTF-16", "\xFF\xFE\x00\x4E/"s, "标明是 UTF-16LE 编码"},
      {"a lone surrogate", "\xFE\xFF\xDC\x00\x00/"s, "标明是 UTF-16BE 编码"},
      {"NUL", "uno\0dos"s, "空字符（NUL）"},
      {"NUL in UTF-16", "\xFF\xFE" "a\0\0\0"s, "空字符（NUL）"},
      {"a control character", "uno/\x01\x02", "控制字符"},
      {"DEL", "uno/\x7F", "控制字符"},
      {"a C1 control in UTF-8", "uno/\xC2\x85\xE4\xB8\x80", "控制字符"},
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
  for (const auto& [path, reason] : {std::pair{fifo.path(), "不是磁盘上的普通文件"}, std::pair{dir.path(), "文件夹"},
                                     std::pair{std::filesystem::path("/dev/null"), "不是磁盘上的普通文件"}}) {
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

// A sparse file of the given size: no byte of it is on the disk.
void sparseFile(const std::filesystem::path& file, int64_t size) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
}

// A file larger than the program holds as text is refused by its size,
// before any of it is read. A file read whole would be refused for its NUL
// bytes instead.
TEST(TextFile, AFileLargerThanTheProgramHoldsIsRefusedByItsSizeBeforeItIsRead) {
  TempDir dir;
  const auto file = dir.path() / "big.txt";
  for (const int64_t size : {kMaxTextFileBytes + 1, int64_t{4} << 30}) {
    SCOPED_TRACE(size);
    sparseFile(file, size);
    try {
      loadRichFile(file, CharFormat{});
      FAIL() << "read";
    } catch (const std::runtime_error& e) {
      const std::string why = e.what();
      // Asserted, so that a loader that reads the file anyway stops at the
      // smaller one.
      ASSERT_NE(why.find("超过了本程序能读入的"), std::string::npos) << why;
      EXPECT_NE(why.find(file.string()), std::string::npos) << why;
      EXPECT_NE(why.find(std::to_string(size)), std::string::npos) << why;
      // The limit as the program counts it: 256 MiB are 268435456 bytes, not 256 MB.
      EXPECT_NE(why.find("268435456 字节（256 MiB）"), std::string::npos) << why;
      EXPECT_EQ(why.find(" MB"), std::string::npos) << why;
    }
  }
}

// Every reason the loader and the save give is in Chinese, names the file
// and says what the user can do: no English word is left in it, beside the
// names of encodings and formats.
TEST(TextFile, EveryRefusalIsInChineseAndSaysWhatToDo) {
  TempDir dir;
  const Fifo fifo(dir.path() / "fifo.txt");
  const auto file = [&](const char* name, const std::string& bytes) {
    const auto path = dir.path() / name;
    writeBytes(path, bytes);
    return path;
  };
  const auto readOnly = file("ro.txt", "uno");
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
  const struct {
    const char* name;
    std::filesystem::path path;
    bool save = false;
  } cases[] = {
      {"missing", dir.path() / "missing.txt"},
      {"a folder", dir.path()},
      {"a FIFO", fifo.path()},
      {"a device", "/dev/null"},
      {"NUL", file("nul.txt", "uno\0"s)},
      {"control characters", file("ctl.txt", "uno\x01")},
      {"neither UTF-8 nor GBK", file("bad.txt", "\xFF\xFF")},
      {"a false UTF-8 mark", file("bom8.txt", "\xEF\xBB\xBF\xC4\xE3")},
      {"a false UTF-16 mark", file("bom16.txt", "\xFF\xFE\x00"s)},
      {"damaged RTF", file("deep.rtf", "{\\rtf1 " + std::string(2000, '{'))},
      {"RTF that cannot be read", file("ff.rtf", "{\\rtf1\\ansi\\ansicpg936 uno\\'ff\\'ff}")},
      {"a save over a read-only file", readOnly, true},
      {"a save into a missing folder", dir.path() / "gone" / "s.txt", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string why;
    try {
      if (c.save)
        saveRichFile(c.path, RichDocument{u"uno", FormatRuns(3, CharFormat{})});
      else
        loadRichFile(c.path, CharFormat{});
      ADD_FAILURE() << "no refusal";
      continue;
    } catch (const std::runtime_error& e) {
      why = e.what();
    }
    const size_t at = why.find(c.path.string());
    ASSERT_NE(at, std::string::npos) << why;
    why.erase(at, c.path.string().size());
    EXPECT_NE(why.find("请"), std::string::npos) << "says nothing to do: " << why;
    for (const char* name : {"UTF-16LE", "UTF-16BE", "UTF-8", "GBK", "NUL", "RTF"})
      for (size_t k; (k = why.find(name)) != std::string::npos;) why.erase(k, std::strlen(name));
    EXPECT_EQ(std::count_if(why.begin(), why.end(), [](char ch) { return std::isalpha(static_cast<unsigned char>(ch)); }),
              0)
        << why;
  }
  // The reasons of the system's errors too.
  for (const int err : {ENOENT, EACCES, EROFS, ENOSPC, EISDIR, ENAMETOOLONG, EMFILE, EIO, EBUSY, EXDEV}) {
    const std::string why = fileErrorReason(err);
    EXPECT_NE(why.find("请"), std::string::npos) << why;
    EXPECT_EQ(std::count_if(why.begin(), why.end(), [](char ch) { return std::isalpha(static_cast<unsigned char>(ch)); }),
              0)
        << why;
  }
}

}  // namespace
}  // namespace zuvo
