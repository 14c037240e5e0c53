#pragma once
// A data source: one table of its own SQLite database file, with a current
// record, a current index and the boxes and grids bound to its fields.
//
// Records are read and written only through bound boxes. A begun record
// (AddNew) or an edit written into a bound box is saved when the store next
// changes its current record (a move, a Seek or the next AddNew). Between
// user events that pending work is also written through to the file, so a
// crash loses at most the event in progress; the program's view of it stays
// pending until the move.
//
// The grid mirror, the table's cells held for the flex grids, is kept in
// grid_mirror.cpp (cells, column search, writes) and read by grid_read.cpp
// (the read-ahead too), in one pass or in parts side by side.
// The rest of the store's work is spread over files by concern, each named
// in data_source_parts.h.

#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/application.h"
#include "platform/control.h"
#include "platform/grid.h"
#include "store/grid_cells.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zuvo {

class StoreConnection;
struct RecordGroup;
struct GroupRecord;

struct TableSchema {
  std::string file;                  // database file name in the data folder, "XHKA.db"
  std::string table;                 // "表1" or "Sheet1"
  std::vector<std::string> fields;   // in order; "ID" first where the table has one
  std::vector<std::string> indexes;  // each named like its key field
  bool readOnly = false;
  // Rows shipped under data/ that fill the table when its file is created.
  std::string seedFile;
};

// A read or a save met a lock another program holds on a table file for
// longer than the store waits: the file is in use, not damaged. Nothing of
// the event was written into the file.
struct FileInUse : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class DataSource : public Control, public Pending, public GridSource {
 public:
  friend class StoreConnection;
  friend class StoreGroup;
  friend class BatchTransaction;

  DataSource(Window& owner, std::string name, TableSchema schema);
  ~DataSource() override;

  const TableSchema& schema() const { return schema_; }
  std::filesystem::path path() const;

  // Binds a box to a field; its text follows the current record.
  void bind(TextControl& box, const std::string& field);
  void bind(FlexGrid& grid) {
    grid.bind(this);
    mirrored_ = true;
  }
  // A data grid follows the current record: picking its row moves the
  // store, a move of the store moves its row, and a cell edit is an edit of
  // the current record.
  void bind(DataGrid& grid) {
    grid.bind(this);
    hasDataGrids_ = true;
  }

  // The data source's Error handler: the response 0 passes an error on
  // without a message.
  std::function<void(int dataErr, int& response)> Error;

  // --- the recordset ---
  void setIndex(const std::string& name);
  const std::string& Index() const { return index_; }
  // Seek "=": the first record in index order whose key equals the text.
  void Seek(const std::string& op, TextView key);
  bool NoMatch() const { return noMatch_; }
  bool atBOF() const { return bof_; }
  bool atEOF() const { return eof_; }
  void AddNew();
  void MoveFirst();
  void MoveNext();
  void MovePrevious();
  void MoveLast();

  bool canTakeFocus() const override { return false; }
  bool isOpen() const { return db_ != nullptr; }
  // Open, or opened again now, with its whole group, when another program's
  // lock kept a file of the group out at its opening and this is a later
  // event: a lock that has ended since costs no restart. A lock that still
  // holds is told as a file in use (FileInUse).
  bool ensureOpen();
  // Why a save into this store is refused ("" when it can be saved): its
  // file or a file of its group could not be opened, or the folder is
  // read-only.
  std::string whyNoSave() const;
  bool hasCurrent() const { return current_.has_value(); }
  // The current record's field as the boxes show it ("" for NULL).
  Text value(const std::string& field) const;
  // Store operations that reached the database (tests count them).
  int64_t queries() const { return queries_; }
  // The check of the whole file, begun after the window has shown, has
  // ended (sound, damaged, or given up).
  bool fileChecked() const;

  // Opens the file (creating and seeding it when missing) and stands on the
  // first record.
  void windowLoaded() override;

  // Pending
  bool commit() override;
  void savePending() override;
  void rollback() override;
  void beginEvent() override;

  // GridSource: the whole table in stored order.
  int64_t gridRows() override;
  int64_t gridCols() override;
  Text gridCell(int64_t row, int64_t col) override;
  TextView gridCellView(int64_t row, int64_t col) override;
  int64_t gridColumn(const Text& field) override;
  int64_t gridFind(int64_t col, TextView what, int64_t fromRow) override;
  int64_t gridCurrentRow() override;
  bool gridMoveTo(int64_t row) override;
  bool gridWrite(int64_t row, int64_t col, TextView value) override;

 private:
  // A record's fields kept in one text, so reading a record costs one
  // allocation however many fields it has.
  struct Record {
    static constexpr size_t kMaxFields = 32;
    int64_t rowid = 0;
    Text data;
    std::array<uint32_t, kMaxFields> ends{};
    uint32_t nulls = 0;  // bit f: field f has no value
    size_t count = 0;

    std::optional<TextView> get(size_t f) const;
    void set(size_t f, TextView v);
    // Takes the fields' text from their UTF-8 (`bytes` in all; the fields
    // without a value are marked in `nulls` and left empty).
    void decode(const std::array<std::string_view, kMaxFields>& raw, size_t bytes);
    std::vector<std::optional<Text>> all() const;
  };
  class Binding;
  class Statements;

  void open();
  void checkTable();
  void setJournal();
  void letGoOfFile(const std::string& why);
  void closeFailed(const std::string& what);
  void failedToOpen(const std::string& what);
  // Another program's lock kept this file out at its opening.
  void keptOutAtOpen(const std::string& what);
  // At the start of an event: the group kept out opens once the lock has ended.
  void openOnceFree();
  [[noreturn]] void fail(const std::string& what);
  // The file was found damaged: told once, and every save refused since.
  [[noreturn]] void damaged(const std::string& why);
  std::string damageMessage(const std::string& why) const;
  // `files`: the file another program holds, or the files it may be.
  std::string inUseMessage(bool saving, const std::string& files) const;
  std::string inUseMessage(bool saving) const { return inUseMessage(saving, path().string()); }
  // Another program's lock kept the read or the save out.
  [[noreturn]] void inUse(bool saving);
  // The file of the connection another program holds, as far as it shows.
  std::string heldFiles(bool write) const;
  void startCheck();
  // Before this run first writes into the file: its check, made now ahead of
  // every other read where it has not ended.
  void awaitCheck();
  // Takes what the file's check found; true when it found damage not yet known.
  bool takeCheckResult();
  void refuseUnlessSavable();
  std::string tableRef() const;
  static std::string selectList(const TableSchema& s, const std::string& from);
  int fieldIndex(const std::string& name) const;
  // Where `index_` orders records: the key column, or "" for stored order.
  std::string orderColumn() const;

  void boxWritten(int field, const Text& value);
  void rebind(Binding& b, const std::string& field);
  // The value a bound box shows for a field: the begun record's, the current
  // record's, or blank.
  TextView shown(int field) const;
  void followGrids();
  bool hasPendingWork() const;
  void saveWork();
  void writeThrough();
  void begin();
  void stepToEnd(sqlite3_stmt* st);
  int64_t insertRow(const std::vector<std::optional<Text>>& values, int64_t rowid = 0);
  int64_t storeBegun();
  void storeAsPartner(const GroupRecord& g, int64_t rowid);
  void updateRow(int64_t rowid, const std::vector<std::optional<Text>>& values,
                 const std::vector<bool>& which);
  std::optional<Record> fetch(sqlite3_stmt* st);
  std::optional<Record> readRow(sqlite3_stmt* st);
  void fetchAll(sqlite3_stmt* st, std::vector<Record>& out);
  std::optional<Record> stepQuery(bool forward, int limit);
  std::optional<Record> byRowid(int64_t rowid);
  std::optional<Record> edge(bool first);
  std::optional<Record> step(bool forward);
  std::optional<Record> fileStep(bool forward);
  int64_t lastFileRowid();
  void arrive(std::optional<Record> rec);
  void refreshBoxes();
  void showField(int field, TextView value);
  void touched();
  void sync();
  int64_t readDataVersion();
  void followDataVersion(int64_t v);
  void readHere();
  void rowWritten(int64_t rowid, const std::vector<std::optional<Text>>& values);
  std::optional<Record> seekKey(TextView key);
  // The first record of a key among the file's rows and the held ones.
  std::optional<Record> seekWithHeld(TextView key);
  std::string insertSql(bool withRowid, size_t rows) const;
  sqlite3_stmt* insertStatement(bool withRowid);
  void keyRunWritten(int64_t rowid, const std::vector<std::optional<Text>>& values);
  // Rows this store adds while a batch holds them: kept in memory, so that a
  // row added and rewritten within the batch (a staged row the merge blanks)
  // reaches the file once, as it stands at the end. They are written, in
  // rowid order, when the connection commits, when they outgrow their
  // memory, and before any read the held rows cannot answer; a rollback
  // drops them. Seeks on the held key's index, reads by row, steps in rowid
  // order and the first and last record take them in as if they were in
  // the file, after its rows.
  struct HeldRows;
  std::unique_ptr<HeldRows> held_;
  size_t heldBytes_ = 0;  // the memory the held rows may take; 0: none are held
  void holdNewRows(size_t maxBytes);
  bool hasHeld() const;
  bool holdInsert(int64_t rowid, const std::vector<std::optional<Text>>& values);
  bool holdUpdate(int64_t rowid, const std::vector<std::optional<Text>>& values, const std::vector<bool>& which);
  std::optional<Record> heldRecord(int64_t rowid) const;
  std::optional<Record> heldSeek(TextView key);
  // Whether the held rows can answer for the current order; the first or
  // last of them in it.
  bool heldAnswersOrder() const;
  std::optional<Record> heldEdge(bool first) const;
  bool precedes(const Record& a, const Record& b) const;
  void flushHeld();
  void dropHeld();
  // A prepared statement by a short name; `build` gives its text the first time.
  template <class Build>
  sqlite3_stmt* statement(const std::string& name, Build build);
  void loadGrid();
  void gridAppend(int64_t rowid, const Record& rec);
  void gridSaved(int64_t rowid);
  void startPreload();
  void gridReplace(int64_t row, size_t col, TextView v);

  TableSchema schema_;
  std::shared_ptr<StoreConnection> conn_;
  sqlite3* db_ = nullptr;  // the connection's handle while this store is open
  std::string alias_;      // this table's file in the connection: "main" or an attached name
  std::string openError_;  // why the file could not be opened or read
  // Why SQLite found the file damaged ("" while it is sound). The store
  // still reads what it can; nothing is written into it or into its group.
  std::string damage_;
  // SQLite's check of the whole file, once, on a thread of its own.
  struct FileCheck;
  std::unique_ptr<FileCheck> check_;
  bool checkStarted_ = false;
  bool fileReadOnly_ = false;
  std::unique_ptr<Statements> st_;
  std::map<std::string, sqlite3_stmt*> named_;  // owned by st_
  int64_t dataVersion_ = -1;  // the file's change counter for other programs' saves
  bool versionUnchecked_ = true;  // the counter is read again in this event
  // The header's commit counter as it stood when dataVersion_ was last read
  // under a read lock of the committed file; while the file still shows
  // it, nothing has been committed into it since.
  std::optional<uint32_t> checkedCounter_;
  std::optional<uint32_t> fileCommitCounter() const;

  std::string index_;
  bool bof_ = true, eof_ = true;
  bool noMatch_ = false;
  std::optional<Record> current_;
  std::vector<bool> edited_;  // fields of the current record written by boxes

  bool adding_ = false;
  bool addWritten_ = false;
  bool unwritten_ = false;  // box writes not yet written through
  std::vector<std::optional<Text>> added_;
  std::vector<Text> spareTexts_;  // memory for the next begun record's texts
  struct LastRowid {
    int64_t transaction = -1;  // the write transaction it was known in
    int64_t rowid = 0;
  } lastRowid_;  // the table's last ID, as this store last saw it written
  int64_t addedRowid_ = 0;  // the begun record's row once written through
  // The tables whose records are begun together with this one's, and the
  // record of theirs that this store's begun record is part of.
  RecordGroup* partners_ = nullptr;
  std::shared_ptr<GroupRecord> begun_;

  std::vector<std::unique_ptr<Binding>> bindings_;
  bool hasDataGrids_ = false;
  int64_t refreshGeneration_ = 0;
  std::vector<Binding*> changed_;  // boxes the last refresh changed
  int64_t queries_ = 0;

  // Table contents change with every save; the caches below hold while the
  // generation stays the same.
  int64_t generation_ = 0;
  std::map<std::pair<std::string, bool>, std::pair<int64_t, std::optional<int64_t>>> edgeCache_;
  // What Seeks found, for each index sought: a key's row while the
  // generation holds, and the keys that found nothing, which stay so until a
  // write gives a row that key. Looked up by the key as given, uncopied.
  struct KeyHash {
    using is_transparent = void;
    size_t operator()(TextView k) const { return std::hash<TextView>()(k); }
  };
  struct SeekMemo {
    std::string index;
    std::unordered_map<Text, std::pair<int64_t, int64_t>, KeyHash, std::equal_to<>> found;  // generation, row
    std::unordered_set<Text, KeyHash, std::equal_to<>> missing;
  };
  std::vector<SeekMemo> seekMemos_;
  SeekMemo& seekMemo(const std::string& index);
  // The rows of the key last sought, from the first not yet written away,
  // in index order (rowid order within the key).
  struct KeyRun {
    bool active = false;
    std::string index;
    Text key;
    std::vector<Record> rows;
    size_t next = 0;
    int64_t after = 0;      // the last row read
    bool complete = false;  // no row of the key after `after`
    int64_t batch = 1;
  } run_;
  // A shipped table's records once read, by row: nothing of this program
  // writes them, so a lookup that comes back costs no query.
  struct KeptRecords {
    int64_t generation = -1;
    size_t units = 0;
    std::unordered_map<int64_t, Record> rows;
  } kept_;
  const Record* keptRecord(int64_t rowid);
  void keep(const Record& rec);

  // Records read ahead by the last step, in the direction it went: a walk
  // over the table reads them in batches, not one query per step.
  struct ReadAhead {
    int64_t generation = -1;
    std::string index;
    bool forward = true;
    int64_t after = 0;  // rowid of the record the next buffered one follows
    std::vector<Record> rows;
    size_t next = 0;
  } ahead_;

  // The grid mirror: rows in blocks, and in each block every column's cells
  // side by side in one buffer, so a scan of a column reads contiguous
  // memory and an edit rewrites one block only.
  static constexpr int64_t kGridBlock = 4096;
  using GridCells = GridMirrorCells;
  using GridBlock = std::vector<GridCells>;  // one per column
  struct GridRead {
    std::vector<int64_t> rowids;
    std::vector<GridBlock> blocks;
  };
  // Reads every row of the statement into `out`; SQLite's last code. The
  // blocks of `reuse`, an earlier mirror, lend their memory to the new ones.
  static int readGrid(sqlite3_stmt* st, size_t cols, GridRead& out, const std::atomic<bool>* cancel,
                      std::atomic<bool>* started, std::vector<GridBlock>* reuse = nullptr);
  // Reads the whole table in parts side by side, each part the rows from
  // one of `firsts` (rowids, ascending) to the next, on a read-only
  // connection of its own; `earlier` (the mirror read before, first block
  // first) lends its memory. False, with `out` untouched, when the parts
  // could not be sure to read the file as this event's read does, or any
  // of them failed: the caller then reads it in one pass.
  bool readGridInParts(const std::vector<int64_t>& firsts, std::vector<GridBlock>& earlier, GridRead& out);
  // Where a read in parts splits the table: rowids of the mirror now held,
  // each the first of a block.
  std::vector<int64_t> gridSplits() const;
  bool mirrored_ = false;  // a flex grid mirrors this table
  bool gridLoaded_ = false;
  std::vector<int64_t> gridRowids_;
  std::vector<GridBlock> gridBlocks_;
  // A large table's mirror is read on a thread of its own, with its own
  // connection, as soon as the window has loaded; the first use takes it
  // over if nothing has been saved into the file since.
  struct Preload {
    std::atomic<bool> cancel{false};
    std::atomic<bool> reading{false};  // its read snapshot is taken
    bool readingAtCheck = false;        // ... already when the counter was last read
    int64_t dataVersion = 0, generation = 0;
    uint64_t ticket = 0;  // its place in the line of read-aheads
    std::future<std::optional<GridRead>> result;
    ~Preload();
  };
  std::unique_ptr<Preload> preload_;

  // The recordset as it stood before the current event first changed it:
  // the current record, index and position, and the pending work. A failed
  // save puts it back, with the boxes the window puts back beside it.
  struct Before : Journaled {
    explicit Before(DataSource& ds) : ds(ds) {}
    ~Before() override;
    void putBack() override { ds.restoreBefore(*this); }
    void letGo() override;
    DataSource& ds;
    std::string index;
    bool bof = true, eof = true, noMatch = false;
    std::optional<Record> current;
    std::vector<bool> edited;
    bool adding = false, addWritten = false, unwritten = false;
    std::vector<std::optional<Text>> added;
    int64_t addedRowid = 0;
    // A group record as it stood, and the one it is.
    struct Group {
      std::shared_ptr<GroupRecord> record;
      std::vector<DataSource*> joined;
      int64_t rowid = 0;
    };
    Group begun, groupCurrent, groupSpare;
    int64_t groupNext = 0, groupNextInTransaction = -1;
    bool gridTouched = false;  // the mirror was read or written meanwhile
  };
  Before before_{*this};
  // Before the recordset first changes in an event.
  void keepState() {
    if (journal().first(before_)) noteBefore(before_);
  }
  void noteBefore(Before& b);
  void restoreBefore(Before& b);
  void gridTouched() {
    keepState();
    before_.gridTouched = true;
  }
};

// Stores whose records belong together (a sentence and its search text, a
// verb's three tables, a word and its search lines). Their files share one
// connection and every save lands in all of them or in none, whenever the
// program is killed or the disk fills, so partners keep one ID. A group whose
// file cannot be opened refuses every save into any of its stores.
// A record begun in one store of the group is stored in every one of them
// under one ID, or in none, whether or not any of its fields was written.
// Declared in a window after its stores, before the window loads.
class StoreGroup {
 public:
  StoreGroup(std::initializer_list<DataSource*> members);
  // Stores that commit together but begin their records in separate sets
  // (staging rows beside the records merged from them).
  StoreGroup(std::initializer_list<std::initializer_list<DataSource*>> recordSets);

 private:
  std::shared_ptr<StoreConnection> conn_;
};

}  // namespace zuvo
