// Rich documents: RTF written and read back, RTF from word processors, plain
// text files, and atomic saving.
#include "platform/rich_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/files.h"
#include "support/test_support.h"

namespace zuvo {

void PrintTo(const CharFormat& f, std::ostream* os) {
  *os << "{colour 0x" << std::hex << f.colour << std::dec << (f.bold ? ", bold" : "") << ", size "
      << f.size << "}";
}

namespace {

namespace fs = std::filesystem;
using zuvo::testing::readBytes;
using zuvo::testing::TempDir;
using zuvo::testing::writeBytes;

constexpr Colour kRed = 255;
constexpr Colour kDarkRed = 192;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kGreen = 0x00FF00;

const CharFormat kPlain{};

CharFormat format(Colour c, bool bold = false, float size = 12) {
  return CharFormat{c, bold, size};
}

// The format of each character, in order.
std::vector<CharFormat> perCharacter(const FormatRuns& f) {
  std::vector<CharFormat> out;
  for (int64_t i = 0; i < f.size(); ++i) out.push_back(f.at(i));
  return out;
}

// Builds a document run by run.
class Doc {
 public:
  Doc& add(TextView t, const CharFormat& f = kPlain) {
    doc_.text += t;
    doc_.formats.append(Len(t), f);
    return *this;
  }
  operator RichDocument() const { return doc_; }

 private:
  RichDocument doc_;
};

void expectSameDocument(const RichDocument& actual, const RichDocument& expected) {
  EXPECT_EQ(actual.text, expected.text);
  ASSERT_EQ(actual.formats.size(), Len(actual.text));
  for (int64_t i = 0; i < actual.formats.size() && i < expected.formats.size(); ++i) {
    if (actual.formats.at(i) != expected.formats.at(i)) {
      ADD_FAILURE() << "first format difference at character " << i << ": "
                    << ::testing::PrintToString(actual.formats.at(i)) << " instead of "
                    << ::testing::PrintToString(expected.formats.at(i));
      return;
    }
  }
}

RichDocument parse(std::string_view rtf, const CharFormat& plain = kPlain) {
  auto doc = readRtf(rtf, plain);
  if (!doc) throw std::logic_error("not RTF: " + std::string(rtf));
  return *doc;
}

std::vector<std::string> filesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// --- Round trip ------------------------------------------------------------

struct RoundTripCase {
  const char* name;
  RichDocument doc;
};

TEST(RtfRoundTrip, KeepsTextAndFormats) {
  const std::vector<RoundTripCase> cases = {
      {"empty", Doc()},
      {"plain ASCII", Doc().add(u"Hello world")},
      {"mixed colours, bold, sizes, Chinese and accents",
       Doc()
           .add(u"Hola ")
           .add(u"你好\r\n", format(kRed, true, 14))
           .add(u"\r\n")
           .add(u"ň á ü", format(kDarkRed, false, 10.5f))
           .add(u" {braces} \\back\\slash\\ ", format(kWindowText, true))
           .add(u"\r\n\r\n")
           .add(u"end", format(kBlue, false, 9))},
      {"ends with a line break", Doc().add(u"line\r\n")},
      {"only empty lines", Doc().add(u"\r\n\r\n\r\n")},
      {"starts with a line break", Doc().add(u"\r\nx", format(kRed))},
      {"spaces right after a format change", Doc().add(u"a", format(kRed)).add(u"  b ")},
      {"letters and digits right after a format change",
       Doc()
           .add(u"x", format(kWindowText, true))
           .add(u"12ab")
           .add(u"3", format(kWindowText, false, 20))},
      {"black is a colour, not the automatic one", Doc().add(u"a", format(0)).add(u"b")},
      {"a colour used twice keeps its entry",
       Doc().add(u"a", format(kRed)).add(u"b", format(kBlue)).add(u"c", format(kRed))},
      {"tabs and control characters", Doc().add(u"a\tb\x01"
                                                u"c\x7f")},
      {"characters above 0x7FFF and outside the BMP", Doc().add(u"高\uFFFD\U0001F600")},
      {"question mark after a non-ASCII character", Doc().add(u"你??")},
      {"lone CR and lone LF", Doc().add(u"a\rb\nc\n\r")},
      {"halves of a line break formatted apart",
       Doc().add(u"a").add(u"\r", format(kRed)).add(u"\nb")},
      {"format change on an empty line",
       Doc().add(u"a\r\n").add(u"\r\n", format(kBlue, true)).add(u"b")},
  };
  // A plain format unlike every case's formats shows that nothing read back
  // depends on it.
  const CharFormat oddPlain = format(0x123456, true, 30);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string rtf = writeRtf(c.doc);
    expectSameDocument(parse(rtf, oddPlain), c.doc);
  }
}

// --- Writing ---------------------------------------------------------------

// Checks that braces balance and the outer group closes at the end.
bool groupsBalance(std::string_view rtf) {
  int depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
    } else if (rtf[i] == '{') {
      ++depth;
    } else if (rtf[i] == '}') {
      if (--depth == 0)
        return rtf.substr(i + 1).find_first_not_of("\r\n") == std::string_view::npos;
    }
  }
  return false;
}

TEST(WriteRtf, WritesPortableRtf) {
  const RichDocument doc = Doc()
                               .add(u"A", format(kRed))
                               .add(u"B", format(kDarkRed, true))
                               .add(u"C", format(kRed))
                               .add(u"你高\r\n")
                               .add(u"{\\}", format(kWindowText, false, 10.5f))
                               .add(u"h", format(kHighlightText));
  const std::string rtf = writeRtf(doc);

  EXPECT_TRUE(
      rtf.starts_with("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}"
                      "{\\colortbl ;\\red255\\green0\\blue0;\\red192\\green0\\blue0;}"))
      << rtf;
  const std::vector<std::string> pieces = {
      "\\cf1\\b0\\fs24 A", "\\cf2\\b B", "\\cf1\\b0 C\\cf0 \\u20320?\\u-25896?\\par\r\n",
      "\\fs21 \\{\\\\\\}", "\\fs24 h",
  };
  for (const auto& p : pieces) EXPECT_NE(rtf.find(p), std::string::npos) << p << " in " << rtf;
  EXPECT_TRUE(groupsBalance(rtf)) << rtf;
  for (const char ch : rtf) {
    ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << "RTF is 7-bit text";
  }
}

// --- Reading foreign RTF -----------------------------------------------------

TEST(ReadRtf, ParsesWordProcessorFile) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936\\deff0\\nouicompat\\deflang1033\\deflangfe2052"
      "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fnil\\fcharset0 "
      "Calibri;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
      "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
      "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang2052\\'c4\\'e3\\'ba\\'c3\\cf1\\b\\f1\\lang1033 "
      "red "
      "bold\\cf0\\b0\\par\r\n"
      "\\uc1\\u20320?\\u22909?\\par\r\n"
      "{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict{\\pict\\wmetafile8 0100}}"
      "\\cf2\\fs28 blue\\line x\\tab y\\par\r\n"
      "}\r\n";
  const RichDocument expected = Doc()
                                    .add(u"你好", format(kWindowText, false, 11))
                                    .add(u"red bold", format(kRed, true, 11))
                                    .add(u"\r\n你好\r\n", format(kWindowText, false, 11))
                                    .add(u"blue\r\nx\ty\r\n", format(kBlue, false, 14));
  expectSameDocument(parse(rtf), expected);
}

TEST(ReadRtf, RejectsWhatIsNotRtf) {
  for (const std::string_view s : {"", "hello", "{\\rt", " {\\rtf1 a}", "\xEF\xBB\xBF{\\rtf1 a}"}) {
    EXPECT_FALSE(readRtf(s, kPlain).has_value()) << s;
  }
}

struct TextCase {
  const char* name;
  std::string rtf;
  Text text;
};

TEST(ReadRtf, DecodesCharactersInTheDocumentsCodePage) {
  const std::vector<TextCase> cases = {
      {"cp1252 by default", "{\\rtf1\\ansi caf\\'e9 \\'80}", u"café €"},
      {"cp1252 named", "{\\rtf1\\ansi\\ansicpg1252 \\'93q\\'94}", u"“q”"},
      {"GBK double bytes", "{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3\\'ba\\'c3}", u"你好"},
      {"GBK trail byte written as a plain character", "{\\rtf1\\ansi\\ansicpg936 \\'81@x}", u"丂x"},
      {"GB2312 font in a cp1252 document",
       "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
       "{\\f1\\fnil\\fcharset134 SimSun;}}\\f1\\'c4\\'e3\\f0\\'e9}",
       u"你é"},
      {"unicode with one fallback character", "{\\rtf1\\uc1\\u20320?\\u22909?}", u"你好"},
      {"unicode with two fallback bytes", "{\\rtf1\\ansi\\ansicpg936\\uc2\\u20320\\'c4\\'e3x}",
       u"你x"},
      {"unicode without fallback", "{\\rtf1\\uc0\\u20320\\u22909 x}", u"你好x"},
      {"negative unicode number", "{\\rtf1\\u-25896?}", u"高"},
      {"surrogate pair", "{\\rtf1\\u-10179?\\u-8704?}", u"\U0001F600"},
      {"fallback cut short by the group's end", "{\\rtf1{\\u20320}?}", u"你?"},
      {"fallback count is scoped to its group", "{\\rtf1{\\uc2 x}\\u20320?y}", u"x你y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(parse(c.rtf).text, c.text);
  }
}

TEST(ReadRtf, KeepsOnlyDocumentText) {
  const std::vector<TextCase> cases = {
      {"unknown control words", "{\\rtf1\\foo12 a\\barbaz b\\x-3 c}", u"abc"},
      {"ignorable destination with nested groups", "{\\rtf1 a{\\*\\unknown x{y}z}b}", u"ab"},
      {"style sheet, information and pictures",
       "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}{\\pict\\pngblip 0a1b}a}",
       u"a"},
      {"binary data with braces", "{\\rtf1 a{\\pict\\bin2 }{}b}", u"ab"},
      {"field result kept, instruction dropped",
       "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}", u"link"},
      {"escapes and symbols", "{\\rtf1 \\\\\\{\\}\\~\\-x}", u"\\{}\u00A0x"},
      {"line, tab and paragraph", "{\\rtf1 a\\line b\\tab c\\par\r\nd}", u"a\r\nb\tc\r\nd"},
      {"backslash before a line break is a paragraph", "{\\rtf1 a\\\r\nb}", u"a\r\nb"},
      {"line breaks in the file are not text", "{\\rtf1 a\r\nb\nc}", u"abc"},
      {"final paragraph mark kept", "{\\rtf1 a\\par\r\n}", u"a\r\n"},
      {"named punctuation", "{\\rtf1 \\emdash\\lquote x\\rquote}", u"—‘x’"},
      {"truncated file", "{\\rtf1 abc{\\b de", u"abcde"},
      {"text after the end", "{\\rtf1 a}b{c}", u"a"},
      {"font names are not text", "{\\rtf1{\\fonttbl\\f0\\fnil Arial;\\f1\\fnil SimSun;}a}", u"a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(parse(c.rtf).text, c.text);
  }
}

struct FormatCase {
  const char* name;
  std::string rtf;
  std::vector<CharFormat> formats;  // one per character
};

TEST(ReadRtf, ReadsCharacterFormats) {
  const std::string red = "{\\colortbl ;\\red255\\green0\\blue0;}";
  const std::vector<FormatCase> cases = {
      {"no colour is automatic", "{\\rtf1 a}", {kPlain}},
      {"cf0 and a missing entry are automatic",
       "{\\rtf1" + red + "\\cf1 a\\cf0 b\\cf7 c}",
       {format(kRed), kPlain, kPlain}},
      {"table entries are red, green, blue",
       "{\\rtf1{\\colortbl ;\\red1\\green2\\blue3;}\\cf1 a}",
       {format(0x030201)}},
      {"table without an automatic entry",
       "{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\\cf1 a\\cf0 b}",
       {format(kRed), format(0)}},
      {"bold on and off, scoped by groups",
       "{\\rtf1{\\b a}b\\b c\\b0 d\\b1 e}",
       {format(kWindowText, true), kPlain, format(kWindowText, true), kPlain,
        format(kWindowText, true)}},
      {"half-point sizes",
       "{\\rtf1\\fs21 a\\fs30 b}",
       {format(kWindowText, false, 10.5f), format(kWindowText, false, 15)}},
      {"plain resets everything",
       "{\\rtf1" + red + "\\cf1\\b\\fs40 a\\plain b}",
       {format(kRed, true, 20), kPlain}},
      {"a paragraph mark takes the current format",
       "{\\rtf1" + red + "\\cf1\\b\\par}",
       {format(kRed, true), format(kRed, true)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RichDocument doc = parse(c.rtf);
    EXPECT_EQ(perCharacter(doc.formats), c.formats);
    EXPECT_EQ(doc.text.size(), c.formats.size());
  }
}

TEST(ReadRtf, UnstatedFormatsComeFromThePlainFormat) {
  const CharFormat plain = format(kGreen, true, 9);
  const RichDocument doc = parse("{\\rtf1 a\\b0\\fs30 b\\plain c}", plain);
  EXPECT_EQ(perCharacter(doc.formats), (std::vector<CharFormat>{plain, format(kGreen, false, 15), plain}));
}

// --- Loading files -------------------------------------------------------------

TEST(LoadRichFile, NormalisesLineEndsOfPlainText) {
  struct Case {
    const char* name;
    std::string bytes;
    Text text;
  };
  const std::vector<Case> cases = {
      {"LF", "a\nb", u"a\r\nb"},
      {"CR", "a\rb", u"a\r\nb"},
      {"CR LF", "a\r\nb", u"a\r\nb"},
      {"mixed", "a\r\n\nb\rc\n", u"a\r\n\r\nb\r\nc\r\n"},
      {"CRs before CR LF are dropped", "a\r\r\nb\r\r\r\nc", u"a\r\nb\r\nc"},
      {"LF CR is two line ends", "a\n\rb", u"a\r\n\r\nb"},
      {"only line ends", "\n\r\n\r", u"\r\n\r\n\r\n"},
      {"empty file", "", u""},
  };
  TempDir dir;
  const CharFormat plain = format(kGreen, true, 9);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = dir.path() / "plain.txt";
    writeBytes(file, c.bytes);
    const RichDocument doc = loadRichFile(file, plain);
    EXPECT_EQ(doc.text, c.text);
    EXPECT_EQ(perCharacter(doc.formats), std::vector<CharFormat>(c.text.size(), plain));
  }
}

TEST(LoadRichFile, ReadsUtf8AndGbkText) {
  struct Case {
    const char* name;
    std::string bytes;
    Text text;
  };
  const std::vector<Case> cases = {
      {"UTF-8", "\xC5\x88\xC3\xA1\xE4\xBD\xA0", u"ňá你"},
      {"UTF-8 with a byte order mark",
       "\xEF\xBB\xBF"
       "a\xC5\x88",
       u"aň"},
      {"GBK", "\xC4\xE3\xBA\xC3\r\n\xA8\xBE", u"你好\r\nň"},
      {"GBK from toGbk with LF ends", toGbk(u"你好\nň\n"), u"你好\r\nň\r\n"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = dir.path() / "text.txt";
    writeBytes(file, c.bytes);
    EXPECT_EQ(loadRichFile(file, kPlain).text, c.text);
  }
}

TEST(LoadRichFile, ReadsRtfFiles) {
  TempDir dir;
  const fs::path file = dir.path() / "doc.rtf";
  writeBytes(file, "{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3\\par\n}");
  expectSameDocument(loadRichFile(file, kPlain), Doc().add(u"你\r\n"));
}

TEST(LoadRichFile, UnreadableFileThrowsNamingIt) {
  TempDir dir;
  for (const fs::path& file : {dir.path() / "missing.rtf", dir.path()}) {
    SCOPED_TRACE(file.string());
    try {
      loadRichFile(file, kPlain);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    }
  }
}

TEST(LoadRichFile, DeeplyNestedRtfIsReportedAsDamagedNamingTheFile) {
  TempDir dir;
  const fs::path file = dir.path() / "deep.rtf";
  writeBytes(file, "{\\rtf1 " + std::string(5'000'000, '{'));
  try {
    loadRichFile(file, kPlain);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("RTF 格式无法读懂"), std::string::npos) << e.what();
  }
  // Nesting as deep as real documents go reads as before.
  writeBytes(file, "{\\rtf1 " + std::string(100, '{') + "a" + std::string(101, '}'));
  expectSameDocument(loadRichFile(file, kPlain), Doc().add(u"a"));
}

// --- Saving files --------------------------------------------------------------

const RichDocument& sampleDocument() {
  static const RichDocument doc =
      Doc().add(u"Hola ").add(u"你好", format(kRed, true, 14)).add(u"\r\nň\r\n", format(kDarkRed));
  return doc;
}

void expectSaveFailsNaming(const fs::path& file, std::string_view bytes) {
  try {
    writeFileAtomically(file, bytes);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
  }
}

TEST(SaveRichFile, SavedFileLoadsBackAndLeavesNoTemporaryFile) {
  TempDir dir;
  const fs::path file = dir.path() / "doc.rtf";
  saveRichFile(file, sampleDocument());
  expectSameDocument(loadRichFile(file, kPlain), sampleDocument());
  EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"doc.rtf"});
}

TEST(SaveRichFile, ReplacesAnExistingFileKeepingItsPermissions) {
  TempDir dir;
  const fs::path file = dir.path() / "doc.rtf";
  writeBytes(file, std::string(100000, 'x'));
  ::chmod(file.c_str(), 0640);
  saveRichFile(file, sampleDocument());
  expectSameDocument(loadRichFile(file, kPlain), sampleDocument());
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
  EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"doc.rtf"});
}

TEST(SaveRichFile, SavesBesideTheWorkingDirectoryForABareName) {
  TempDir dir;
  const fs::path old = fs::current_path();
  fs::current_path(dir.path());
  saveRichFile("bare.rtf", sampleDocument());
  fs::current_path(old);
  expectSameDocument(loadRichFile(dir.path() / "bare.rtf", kPlain), sampleDocument());
}

TEST(WriteFileAtomically, WritesTheBytesExactly) {
  TempDir dir;
  const fs::path file = dir.path() / "bytes.bin";
  const std::string bytes("a\0b\r\n\xFF\xC4\xE3\n", 9);
  writeFileAtomically(file, bytes);
  EXPECT_EQ(readBytes(file), bytes);
  writeFileAtomically(file, "");
  EXPECT_EQ(readBytes(file), "");
}

TEST(WriteFileAtomically, MissingFolderThrowsAndCreatesNothing) {
  TempDir dir;
  const fs::path file = dir.path() / "no such folder" / "doc.rtf";
  expectSaveFailsNaming(file, "data");
  EXPECT_TRUE(filesIn(dir.path()).empty());
}

TEST(WriteFileAtomically, FailedReplaceLeavesTargetWhole) {
  // A folder cannot be replaced by a file, so the final rename fails after
  // the temporary file was written.
  TempDir dir;
  const fs::path target = dir.path() / "doc.rtf";
  fs::create_directory(target);
  writeBytes(target / "inside.txt", "kept");
  expectSaveFailsNaming(target, "data");
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_EQ(readBytes(target / "inside.txt"), "kept");
  EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"doc.rtf"});
}

TEST(WriteFileAtomically, AReadOnlyFileIsNotReplaced) {
  // The rename would replace it whatever its permissions; we are often root.
  TempDir dir;
  const fs::path target = dir.path() / "mine.txt";
  writeBytes(target, "kept");
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
  expectSaveFailsNaming(target, "data");
  EXPECT_EQ(readBytes(target), "kept");
  EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"mine.txt"});
  fs::permissions(target, fs::perms::owner_all);
}

// --- Size ----------------------------------------------------------------------

TEST(RichDocumentSize, HundredThousandLinesLoadAndSaveWhole) {
  Doc builder;
  for (int i = 0; i < 100000; ++i) {
    builder.add(u"line ")
        .add(u"你好 ň", format(i % 2 ? kRed : kBlue, i % 3 == 0, 10.5f))
        .add(u" {x}\r\n");
  }
  const RichDocument doc = builder;
  TempDir dir;
  const fs::path rtf = dir.path() / "big.rtf";

  saveRichFile(rtf, doc);
  const RichDocument loaded = loadRichFile(rtf, kPlain);
  EXPECT_TRUE(loaded.text == doc.text && loaded.formats == doc.formats);

  const fs::path txt = dir.path() / "big.txt";
  std::string plain;
  for (int i = 0; i < 100000; ++i) plain += "línea 你好\n";
  writeBytes(txt, plain);
  const RichDocument text = loadRichFile(txt, kPlain);
  EXPECT_EQ(text.text.size(), 100000u * 10);
}

}  // namespace
}  // namespace zuvo
