#pragma once
// What the user is told when a table file fails: in Chinese, naming the
// file, saying what the user can do. The cause is taken from SQLite's
// result code; SQLite's own words follow only as a detail in brackets.
// A file another program keeps locked is told by the store itself.

#include <filesystem>
#include <string>

namespace zuvo::file_messages {

// SQLite's (or the system's) own words as a detail: "（…）", or "" for none.
std::string detail(const std::string& own);

// An operation on the file failed with SQLite's result code `rc` (primary or
// extended). `saving`: the failure ends a save, whose window is put back as
// it was, so what the user typed is still there.
std::string failed(const std::filesystem::path& file, int rc, const std::string& own, bool saving);

// The file is damaged (SQLite met a bad page, or it is not a database, or
// the check of the whole file found something wrong): nothing is written
// into it again this run.
std::string damaged(const std::filesystem::path& file, const std::string& own);

// The file could not be opened: `why` is SQLite's text, or the store's
// own Chinese reason (see notThisProgramsTable), told as it is.
std::string openFailed(const std::filesystem::path& file, int rc, const std::string& why);
// Why a file that is a database, or empty, is not one of this program's
// tables (`missing`: what it lacks); the reason openFailed and a refused
// save tell.
std::string notThisProgramsTable(const std::string& missing);
// Another program keeps the file in a journal mode of its own (WAL), in
// which it cannot be saved together with the other files of its group.
std::string foreignJournal();
// The reason kept for a file that failed to open, told again when a save
// into it is refused.
std::string openFailureReason(int rc, const std::string& why);

// A save refused before anything was written, for `why` (one of the
// reasons below, or openFailureReason's).
std::string saveRefused(const std::filesystem::path& file, const std::string& why);
std::string notOpen();
std::string knownDamaged(const std::string& own);
std::string partnerNotOpen(const std::filesystem::path& partner);
std::string partnerDamaged(const std::filesystem::path& partner);
std::string fileReadOnly();
std::string folderReadOnly(const std::filesystem::path& dir);

// The store's own words are Chinese; SQLite's and the system's are not.
bool toldInChinese(const std::string& text);

}  // namespace zuvo::file_messages
