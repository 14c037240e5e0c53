// The words of a table file's failures, in one place: what happened, and
// what the user can do about it, chosen by SQLite's result code.

#include "store/file_messages.h"

#include <sqlite3.h>

#include "platform/text.h"

namespace zuvo::file_messages {

namespace {

// What went wrong, and what the user can do before trying again.
struct Trouble {
  const char* what;    // "" when SQLite's code tells nothing the user can act on
  const char* remedy;  // a request, finished by the caller ("后再试。")
  bool restart;        // the store opens its file again only at the next start
};

Trouble troubleOf(int rc) {
  switch (rc & 0xff) {
    case SQLITE_FULL:
      return {"磁盘已满", "请腾出一些磁盘空间", false};
    case SQLITE_IOERR:
      return {"读写数据文件时出错", "请确认存放数据文件的磁盘（或 U 盘、网络盘）连接正常", false};
    case SQLITE_READONLY:
      if (rc == SQLITE_READONLY_DBMOVED) return {"数据文件已被移动或删除", "请把它放回原处", true};
      return {"数据文件是只读的", "请取消这个文件的只读属性（或给本程序写入它的权限）", true};
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return {"数据文件或它所在的文件夹无法读写", "请确认这个文件还在，本程序有权读写它和它所在的文件夹", false};
    case SQLITE_NOMEM:
      return {"内存不足", "请关闭一些别的程序", false};
    default:
      return {"", "", false};
  }
}

bool isDamageCode(int rc) { return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB; }

const char* const kKept = "没有存入任何内容，输入的内容都还在。";

}  // namespace

std::string detail(const std::string& own) { return own.empty() ? std::string() : "（" + own + "）"; }

std::string failed(const std::filesystem::path& file, int rc, const std::string& own, bool saving) {
  if (isDamageCode(rc)) return damaged(file, own);
  const Trouble t = troubleOf(rc);
  const std::string name = file.string();
  if (!*t.what) {
    return saving ? "数据文件无法保存：" + name + "\r\n" + kKept + "请稍后再保存一次。" + detail(own)
                  : "数据文件无法读取：" + name + "\r\n这一步没有完成，请稍后再试。" + detail(own);
  }
  const std::string then = t.restart ? "后重新启动本程序。" : saving ? "后再保存一次。" : "后再试。";
  if (!saving) return std::string(t.what) + "，这一步没有完成：" + name + "\r\n" + t.remedy + then + detail(own);
  const std::string kept = t.restart ? "没有存入任何内容，输入的内容还在窗口中，可以先复制下来。" : kKept;
  return std::string(t.what) + "，无法保存：" + name + "\r\n" + kept + t.remedy + then + detail(own);
}

std::string damaged(const std::filesystem::path& file, const std::string& own) {
  return "数据文件出错：" + file.string() +
         "\r\n这个文件已损坏，或者不是本程序的数据文件。为免损失更多记录，本程序这次运行中不再向它存入任何内容。"
         "请退出本程序，用备份的副本换下这个文件（或把它移走，本程序下次启动时会建立新的数据文件）后再启动。" +
         detail(own);
}

std::string openFailureReason(int rc, const std::string& why) {
  if (toldInChinese(why)) return why;
  if (isDamageCode(rc)) return knownDamaged(why);
  if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
    return "打开时这个文件正被另一个程序使用。请等另一个程序用完后再试一次。" + detail(why);
  const Trouble t = troubleOf(rc);
  if (!*t.what)
    return "请确认这个文件是本程序的数据文件、本程序有权读写它，然后重新启动本程序。" + detail(why);
  return std::string(t.what) + "。" + t.remedy + "，然后重新启动本程序。" + detail(why);
}

std::string openFailed(const std::filesystem::path& file, int rc, const std::string& why) {
  if (isDamageCode(rc)) return damaged(file, why);
  return "数据文件无法打开：" + file.string() + "\r\n" + openFailureReason(rc, why);
}

std::string notThisProgramsTable(const std::string& missing) {
  return "这个文件不是本程序的数据表（" + missing +
         "），本程序不会改动它。请把它移到别处（本程序下次启动时会建立新的数据表），或换回本程序自己的数据文件，"
         "然后重新启动本程序。";
}

std::string foreignJournal() {
  return "另一个程序正以它自己的方式（WAL）使用这个文件，本程序无法把它与同组的文件一起保存。"
         "请关闭另一个程序，然后重新启动本程序。";
}

std::string saveRefused(const std::filesystem::path& file, const std::string& why) {
  return "无法保存：" + file.string() + "\r\n" + why + "\r\n" + kKept;
}

std::string notOpen() { return "数据文件没有打开。请重新启动本程序。"; }

std::string knownDamaged(const std::string& own) {
  return "这个数据文件已损坏，本程序不再向它存入任何内容。请退出本程序，用备份的副本换下它后再启动。" + detail(own);
}

std::string partnerNotOpen(const std::filesystem::path& partner) {
  return "同组的数据文件无法打开：" + partner.string() +
         "\r\n这几个文件总是一起保存。请先解决这个文件的问题（见它无法打开时的提示），然后重新启动本程序。";
}

std::string partnerDamaged(const std::filesystem::path& partner) {
  return "同组的数据文件已损坏：" + partner.string() +
         "\r\n这几个文件总是一起保存，其中一个损坏时都不再存入。请退出本程序，用备份的副本换下它后再启动。";
}

std::string fileReadOnly() {
  return "数据文件是只读的。请取消这个文件的只读属性（或给本程序写入它的权限），然后重新启动本程序。";
}

std::string folderReadOnly(const std::filesystem::path& dir) {
  return "数据文件夹是只读的，无法保存：" + dir.string() +
         "\r\n请让这个文件夹可以写入（或给本程序写入它的权限），然后重新启动本程序。";
}

bool toldInChinese(const std::string& text) {
  const Text t = fromUtf8(text);
  return !t.empty() && t[0] >= 0x3000;
}

}  // namespace zuvo::file_messages
