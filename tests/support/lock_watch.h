#pragma once
// Sees the moment the program meets another program's lock: every SQLite
// file of the test process is opened through a thin layer over the
// platform's own, which counts the locks refused (SQLITE_BUSY) on the
// thread that runs the program's events. Another program simulated in the
// test opens its files through the platform's layer itself ("unix"), so its
// own waits are not counted; nor are the program's background reads, which
// run on threads of their own.

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace zuvo::testing {

class LockWatch {
 public:
  // Installed once for the process, before the first file is opened, and
  // kept: files opened through it may outlive any one test.
  static void install() {
    static const bool done = [] {
      sqlite3_initialize();
      real_ = sqlite3_vfs_find(nullptr);
      vfs_ = *real_;
      vfs_.zName = "lockwatch";
      vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
      vfs_.xOpen = open;
      vfs_.pNext = nullptr;
      return sqlite3_vfs_register(&vfs_, 1) == SQLITE_OK;
    }();
    (void)done;
  }
  // From now on the locks refused on this thread are counted.
  static void watchThisThread() {
    std::lock_guard lock(m_);
    watched_ = std::this_thread::get_id();
    refused_ = 0;
    woken_ = false;
  }
  // Ends every wait for a refusal at once (the test is over).
  static void wakeAll() {
    std::lock_guard lock(m_);
    woken_ = true;
    met_.notify_all();
  }
  static int refused() {
    std::lock_guard lock(m_);
    return refused_;
  }
  // Waits until the watched thread has been refused a lock, at most
  // `atMost` (a bound against a hang, never a figure of the test).
  static bool waitForRefusal(std::chrono::seconds atMost = std::chrono::seconds(60)) {
    std::unique_lock lock(m_);
    return met_.wait_for(lock, atMost, [] { return refused_ > 0 || woken_; }) && refused_ > 0;
  }
  // The platform's own layer, for a simulated other program.
  static const char* platform() { return real_ ? real_->zName : nullptr; }

 private:
  struct File {
    sqlite3_file base;
    sqlite3_file* real;
  };
  static sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }

  static int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* w = reinterpret_cast<File*>(f);
    w->real = reinterpret_cast<sqlite3_file*>(w + 1);
    const int rc = real_->xOpen(real_, name, w->real, flags, outFlags);
    if (!w->real->pMethods) {
      f->pMethods = nullptr;
      return rc;
    }
    methodsFor(w->real->pMethods);
    f->pMethods = &methods_;
    return rc;
  }

  static void methodsFor(const sqlite3_io_methods* r) {
    std::lock_guard lock(m_);
    if (realMethods_) return;  // one set of methods serves every file of the platform's layer
    realMethods_ = r;
    methods_.iVersion = r->iVersion;
    methods_.xClose = [](sqlite3_file* f) { return real(f)->pMethods->xClose(real(f)); };
    methods_.xRead = [](sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return real(f)->pMethods->xRead(real(f), b, n, o); };
    methods_.xWrite = [](sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
      return real(f)->pMethods->xWrite(real(f), b, n, o);
    };
    methods_.xTruncate = [](sqlite3_file* f, sqlite3_int64 n) { return real(f)->pMethods->xTruncate(real(f), n); };
    methods_.xSync = [](sqlite3_file* f, int flags) { return real(f)->pMethods->xSync(real(f), flags); };
    methods_.xFileSize = [](sqlite3_file* f, sqlite3_int64* n) { return real(f)->pMethods->xFileSize(real(f), n); };
    methods_.xLock = [](sqlite3_file* f, int level) {
      const int rc = real(f)->pMethods->xLock(real(f), level);
      if ((rc & 0xff) == SQLITE_BUSY) {
        std::lock_guard lock(m_);
        if (std::this_thread::get_id() == watched_) {
          ++refused_;
          met_.notify_all();
        }
      }
      return rc;
    };
    methods_.xUnlock = [](sqlite3_file* f, int level) { return real(f)->pMethods->xUnlock(real(f), level); };
    methods_.xCheckReservedLock = [](sqlite3_file* f, int* out) { return real(f)->pMethods->xCheckReservedLock(real(f), out); };
    methods_.xFileControl = [](sqlite3_file* f, int op, void* arg) { return real(f)->pMethods->xFileControl(real(f), op, arg); };
    methods_.xSectorSize = [](sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); };
    methods_.xDeviceCharacteristics = [](sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); };
    methods_.xShmMap = [](sqlite3_file* f, int i, int n, int e, void volatile** p) {
      return real(f)->pMethods->xShmMap(real(f), i, n, e, p);
    };
    methods_.xShmLock = [](sqlite3_file* f, int o, int n, int fl) { return real(f)->pMethods->xShmLock(real(f), o, n, fl); };
    methods_.xShmBarrier = [](sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); };
    methods_.xShmUnmap = [](sqlite3_file* f, int d) { return real(f)->pMethods->xShmUnmap(real(f), d); };
    methods_.xFetch = [](sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return real(f)->pMethods->xFetch(real(f), o, n, p); };
    methods_.xUnfetch = [](sqlite3_file* f, sqlite3_int64 o, void* p) { return real(f)->pMethods->xUnfetch(real(f), o, p); };
  }

  static inline sqlite3_vfs* real_ = nullptr;
  static inline sqlite3_vfs vfs_{};
  static inline const sqlite3_io_methods* realMethods_ = nullptr;
  static inline sqlite3_io_methods methods_{};
  static inline std::mutex m_;
  static inline std::condition_variable met_;
  static inline std::thread::id watched_{};
  static inline int refused_ = 0;
  static inline bool woken_ = false;
};

}  // namespace zuvo::testing
