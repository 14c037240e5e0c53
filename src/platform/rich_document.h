#pragma once
// A text with a format for each character, as a rich-text box holds it, and the
// files it loads and saves: RTF written by us (colour table, \uN escapes) and
// read back with the same text and colours; plain text as UTF-8 or GBK.

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/control.h"
#include "platform/format_runs.h"
#include "platform/text_file.h"

namespace zuvo {

struct RichDocument {
  Text text;                        // line breaks are CR LF
  FormatRuns formats;               // covering each character of text
};

// RTF of the document. Plain-coloured characters use the automatic colour,
// others a colour-table entry; non-ASCII characters as \uN? escapes.
std::string writeRtf(const RichDocument& doc);
// Parses RTF as written by writeRtf and by common word processors (groups,
// \par, \line, \tab, \'hh in the document's code page, \uN with \ucN skips,
// \cfN, \b, \b0, \fsN, \plain, ignorable destinations such as \fonttbl,
// \stylesheet, \info, \*). Returns nullopt when the text is not RTF; throws
// std::runtime_error when its groups nest beyond any real document's.
std::optional<RichDocument> readRtf(std::string_view rtf, const CharFormat& plain);

// Loads a file the way a rich-text box does: RTF when the file starts with
// "{\rtf", otherwise plain text decoded as decodeTextFile does (a byte-order
// mark, else strict UTF-8 or strict GBK). Line ends LF, CR and CR LF all
// become CR LF, and CRs directly before a CR LF are dropped. Plain text gets
// the given plain format. Throws std::runtime_error naming the file and the
// reason when it is not a regular file (a folder, a FIFO, a device: refused
// before any read, never waited on), is larger than kMaxTextFileBytes
// (refused by its size, before any read), cannot be read, is damaged RTF, or is
// not text that can be read without loss; such a file is never written by
// a save of what was loaded, since nothing was loaded. The reasons are in
// Chinese and say what the user can do. When stamp is given it receives the
// stamp of the bytes the document was read from.
RichDocument loadRichFile(const std::filesystem::path& file, const CharFormat& plain, FileStamp* stamp = nullptr);

// Writes the document as RTF, replacing the file atomically (a temporary file
// in the same folder, flushed, then renamed), so a failed save leaves the old
// file whole. Throws std::runtime_error naming the file on failure.
void saveRichFile(const std::filesystem::path& file, const RichDocument& doc);

// Writes bytes to a file atomically, as saveRichFile does. `beforeReplace`,
// when given, runs once the temporary file is written and flushed to disk,
// right before it is renamed over the file: a check made there sees the
// file as the rename will replace it. What it throws leaves the file as it
// was and removes the temporary one.
void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         const std::function<void()>& beforeReplace = {});

// Tests run this between the flush of the temporary file and beforeReplace,
// to change the file in the last moment before it is replaced.
inline std::atomic<void (*)(const std::filesystem::path& file)> tempWrittenForTests{nullptr};

}  // namespace zuvo
