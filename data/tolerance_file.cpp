#include "data/tolerance_file.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "data/checked_file.h"
#include "data/errors.h"
#include "data/file_system.h"
#include "data/rounded_cells.h"
#include "data/table_codec.h"
#include "data/temporary_files.h"

namespace tol {
namespace {

constexpr std::int32_t kReadBeyondEnd = 100;

// Tells a load's sink that the load is over, however it ends.
class LoadStopping {
 public:
  explicit LoadStopping(LoadedCellSink* sink) : sink_(sink) {}
  ~LoadStopping() {
    if (sink_ != nullptr) sink_->LoadStops();
  }
  LoadStopping(const LoadStopping&) = delete;
  LoadStopping& operator=(const LoadStopping&) = delete;

 private:
  LoadedCellSink* sink_;
};

// Brackets the cell writes of one load as a batch, closing it however the load ends.
class CellBatch {
 public:
  explicit CellBatch(CellTable& table) : table_(table) { table_.BeginCellBatch(); }
  ~CellBatch() { table_.EndCellBatch(); }
  CellBatch(const CellBatch&) = delete;
  CellBatch& operator=(const CellBatch&) = delete;

 private:
  CellTable& table_;
};

std::int32_t LoadInt32(const char* bytes) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[0])) |
      static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[1])) << 8 |
      static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2])) << 16 |
      static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[3])) << 24);
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Reads the counts N and M, the first 8 of the file_size bytes, and gives the table their
// shape; returns the size of the body that follows them. Counts that are negative or promise
// more than the file holds are refused before the table changes, so a damaged header never
// makes a huge table. Raises EIntOverflow (after PrepareForCounts) or EInOutError.
std::uint64_t PrepareForCounts(CellTable& table, const char* counts, std::uint64_t file_size) {
  const std::int32_t n = LoadInt32(counts);
  const std::int32_t m = LoadInt32(counts + 4);
  std::int32_t cols = 0;
  std::int32_t rows = 0;
  try {
    cols = CheckedAdd(m, 1);
    rows = CheckedAdd(n, 1);
  } catch (const EIntOverflow&) {
    table.PrepareForCounts();  // the table is prepared before its counts are computed
    throw;
  }
  const std::optional<std::uint64_t> size = LayoutSize(n, m);
  if (!size || *size > file_size) throw EInOutError(kReadBeyondEnd);

  table.PrepareForCounts();
  // A count that shrinks goes first, so that on the way the table never holds more cells than
  // its old or its new shape does.
  if (rows < table.RowCount()) {
    table.SetRowCount(rows);
    table.SetColCount(cols);
  } else {
    table.SetColCount(cols);
    table.SetRowCount(rows);
  }
  return *size - kCountsSize;
}

// Removes a temporary file unless the rename has made it the real one.
class TemporaryName {
 public:
  explicit TemporaryName(std::string path) : path_(std::move(path)) {}
  ~TemporaryName() {
    if (!path_.empty()) (void)CurrentFileSystem().Unlink(path_);
  }
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;
  void Keep() { path_.clear(); }

 private:
  std::string path_;
};

// Puts content (the table's bytes, table_size of them) in place of the file at target (its
// path with links resolved, "" when that is unknown) by way of a new file beside it: the new
// bytes, then the old bytes beyond them, so the file never shrinks. The file's owner and
// permissions carry over and a symbolic link to it stays, pointing to the replaced file. Returns
// false, having changed nothing, where the new file cannot be made or cannot take on the old
// one's owner and permissions, or where the file has other hard links that a rename would part
// from it. Raises once the new file is being written.
bool TryReplaceByRename(CheckedFile& original, const std::string& target, std::string& content,
                        std::size_t table_size) {
  const FileStatus& status = original.Status();
  if (status.links > 1 || target.empty()) return false;
  std::string temp_path = TemporaryTemplate(target);
  std::optional<CheckedFile> temp = CheckedFile::TryCreateTemporary(temp_path);
  if (!temp) return false;
  TemporaryName name(temp_path);
  if (!temp->TryTakeOwnershipAndMode(status)) return false;

  if (status.size > table_size) {
    content.resize(status.size);
    original.ReadExactAt(content.data() + table_size, status.size - table_size, table_size);
  }
  temp->WriteExact(content.data(), content.size());
  temp->Sync();
  temp->Close();
  const SysResult renamed = CurrentFileSystem().Rename(temp_path, target);
  if (!renamed.Ok()) throw EInOutError::FromErrno(renamed.error);
  name.Keep();
  SyncDirectory(DirectoryOf(target));
  return true;
}

}  // namespace

bool FilePresent(const std::string& name) {
  FileStatus status;
  return CurrentFileSystem().Stat(name, status).Ok() && status.kind == FileStatus::Kind::kRegular;
}

std::string ToleranceFileAt(const std::string& given) {
  FileStatus status;
  if (!CurrentFileSystem().Stat(given, status).Ok() ||
      status.kind != FileStatus::Kind::kDirectory) {
    return given;
  }
  return given + (given.ends_with('/') ? "" : "/") + kToleranceFileName;
}

void LoadTable(CellTable& table, LoadedCellSink* sink) {
  LoadTableFrom(table, kToleranceFileName, sink);
}

void StoreTable(const CellTable& table) { StoreTableTo(table, kToleranceFileName); }

void LoadTableFrom(CellTable& table, const std::string& path, LoadedCellSink* sink) {
  CheckedFile file = CheckedFile::OpenForUpdate(path);
  char counts[kCountsSize];
  file.ReadExact(counts, 4);
  file.ReadExact(counts + 4, 4);
  const std::uint64_t body_size = PrepareForCounts(table, counts, file.Status().size);
  if (sink != nullptr) sink->LoadBegins();
  const LoadStopping stopping(sink);  // after the batch's announcement
  {
    const CellBatch batch(table);
    table.SetCell(0, 0, kCornerText);
    const auto body = std::make_unique_for_overwrite<char[]>(body_size);
    file.ReadExact(body.get(), body_size);
    DecodeTableBody(table, LoadInt32(counts), LoadInt32(counts + 4), body.get(), sink);
  }
  if (sink != nullptr) sink->LoadEnds();
  file.Close();
}

void LoadTableFromBytes(CellTable& table, std::string_view bytes) {
  if (bytes.size() < kCountsSize) throw EInOutError(kReadBeyondEnd);
  // The body lies within bytes: the layout's size has been checked against theirs.
  (void)PrepareForCounts(table, bytes.data(), bytes.size());
  const CellBatch batch(table);
  table.SetCell(0, 0, kCornerText);
  DecodeTableBody(table, LoadInt32(bytes.data()), LoadInt32(bytes.data() + 4),
                  bytes.data() + kCountsSize);
}

void StoreTableTo(const CellTable& table, const std::string& path) {
  // Opened first, so a missing, read-only or locked file is reported before anything else.
  CheckedFile original = CheckedFile::OpenForUpdate(path);
  std::string content = EncodeTable(table);
  const std::size_t table_size = content.size();
  std::string target;
  if (!CurrentFileSystem().RealPath(path, target).Ok()) target.clear();
  if (!TryReplaceByRename(original, target, content, table_size)) {
    // No new file can stand in for this one: write over it, keeping the bytes beyond.
    original.WriteExact(content.data(), table_size);
    original.Sync();
  }
  // The save stands; what saves killed part-way left beside the file goes now.
  if (!target.empty()) RemoveStaleTemporaries(target);
  original.Close();
}

}  // namespace tol
