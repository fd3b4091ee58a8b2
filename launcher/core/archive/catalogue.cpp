#include "core/archive/catalogue.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zip.h>

#include "base/text.h"
#include "core/archive/extraction.h"
#include "core/archive/layout.h"
#include "core/placement/placement.h"
#include "core/platform/listing.h"
#include "core/platform/util.h"

namespace fdk {

namespace {

// One chunk of entry data: large enough that the per-call costs vanish,
// small enough that a multi-gigabyte entry needs no more memory than this.
constexpr std::size_t kChunkBytes = 256u << 10;
constexpr zip_uint32_t kDosFolderBit = 0x10;

// The archive's bytes for the ZIP library, read from one descriptor with
// pread. The size is taken once: the library's own file source asks the
// system for it again and again. Small reads (the library reads a large
// central directory one header at a time) are served from a read-ahead
// buffer; large ones go straight to the caller. A file cut short while it is
// open reads as a premature end, never as a fault.
struct FileSource {
  static constexpr std::size_t kAheadBytes = 64u << 10;

  int fd;
  std::uint64_t size;
  std::uint64_t at = 0;
  zip_error_t error{};
  std::vector<char> ahead = std::vector<char>(kAheadBytes);
  std::uint64_t aheadAt = 0;   // file offset of ahead[0]
  std::size_t aheadBytes = 0;  // valid bytes in ahead

  zip_int64_t call(void* data, zip_uint64_t length, zip_source_cmd_t command);
  zip_int64_t read(void* data, zip_uint64_t length);
  zip_int64_t pread(void* data, std::size_t length, std::uint64_t from);
};

zip_int64_t FileSource::pread(void* data, std::size_t length, std::uint64_t from) {
  for (;;) {
    const ssize_t n = ::pread(fd, data, length, static_cast<off_t>(from));
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    zip_error_set(&error, ZIP_ER_READ, errno);
    return -1;
  }
}

zip_int64_t FileSource::read(void* data, zip_uint64_t length) {
  const bool inAhead = at >= aheadAt && at < aheadAt + aheadBytes;
  if (!inAhead && length < kAheadBytes) {
    const zip_int64_t n = pread(ahead.data(), kAheadBytes, at);
    if (n < 0) return -1;
    aheadAt = at;
    aheadBytes = static_cast<std::size_t>(n);
  } else if (!inAhead) {
    const zip_int64_t n = pread(data, static_cast<std::size_t>(length), at);
    if (n > 0) at += static_cast<std::uint64_t>(n);
    return n;
  }
  const std::size_t offset = static_cast<std::size_t>(at - aheadAt);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), aheadBytes - offset);
  std::memcpy(data, ahead.data() + offset, n);
  at += n;
  return static_cast<zip_int64_t>(n);
}

zip_int64_t FileSource::call(void* data, zip_uint64_t length, zip_source_cmd_t command) {
  switch (command) {
    case ZIP_SOURCE_OPEN: at = 0; return 0;
    case ZIP_SOURCE_READ: return read(data, length);
    case ZIP_SOURCE_CLOSE: return 0;
    case ZIP_SOURCE_TELL: return static_cast<zip_int64_t>(at);
    case ZIP_SOURCE_SEEK: {
      const zip_int64_t to = zip_source_seek_compute_offset(at, size, data, length, &error);
      if (to < 0) return -1;
      at = static_cast<std::uint64_t>(to);
      return 0;
    }
    case ZIP_SOURCE_STAT: {
      auto* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      st->size = size;
      st->valid |= ZIP_STAT_SIZE;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: return zip_error_to_data(&error, data, length);
    case ZIP_SOURCE_FREE:
      ::close(fd);
      zip_error_fini(&error);
      delete this;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                            ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                            ZIP_SOURCE_SUPPORTS, -1);
    default: zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0); return -1;
  }
}

zip_int64_t callFileSource(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command) {
  return static_cast<FileSource*>(self)->call(data, length, command);
}

// An open archive and the bytes under it, which the ZIP library owns.
struct OpenedZip {
  zip_t* zip;
  FileSource* file;
};

// Hands fd to the library, which closes it with the archive; on failure it is closed here.
Result<OpenedZip> openZipOn(int fd, std::uint64_t size, const std::string& path) {
  auto* file = new FileSource{fd, size};
  zip_error_init(&file->error);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_function_create(callFileSource, file, &error);
  zip_t* zip = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (zip == nullptr) {
    if (source != nullptr) {
      zip_source_free(source);  // frees the FileSource and closes fd
    } else {
      callFileSource(file, nullptr, 0, ZIP_SOURCE_FREE);
    }
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return Error{ErrorKind::Damaged, "the archive " + path + " is damaged or not a ZIP archive (" + text + ")"};
  }
  zip_error_fini(&error);
  return OpenedZip{zip, file};
}

// Opens the file first and checks it is a plain file, so that a FIFO or a
// device named like an archive never blocks or streams forever.
Result<OpenedZip> openZip(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return Error{ErrorKind::Missing, "there is no archive at " + path};
    return Error{"cannot read the archive " + path + ": " + std::strerror(errno)};
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Error{"cannot read the archive " + path + ": not a plain file"};
  }
  // The ZIP library takes an empty file for an empty archive; here it is a failed download.
  if (st.st_size == 0) {
    ::close(fd);
    return Error{ErrorKind::Damaged, "the archive " + path + " is an empty file, not a ZIP archive"};
  }
  return openZipOn(fd, static_cast<std::uint64_t>(st.st_size), path);
}

// Holds the listed entries to the archive's own layout (see layout.h).
Status checkLayout(zip_t* zip, FileSource& file, const std::vector<ArchiveRecord>& records) {
  std::vector<ListedEntry> listed;
  listed.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const char* raw = zip_get_name(zip, i, ZIP_FL_ENC_RAW);
    listed.push_back(ListedEntry{records[i].name, raw != nullptr ? raw : "", records[i].compressedSize});
  }
  auto read = [&file](std::uint64_t offset, std::size_t length, char* into) {
    while (length > 0) {
      const zip_int64_t n = file.pread(into, length, offset);
      if (n <= 0) return false;
      into += n;
      offset += static_cast<std::uint64_t>(n);
      length -= static_cast<std::size_t>(n);
    }
    return true;
  };
  return CheckEntriesApart(read, file.size, listed);
}

bool plainAscii(const char* name) {
  for (const char* p = name; *p != '\0'; ++p)
    if (static_cast<unsigned char>(*p) < 0x20 || static_cast<unsigned char>(*p) > 0x7E) return false;
  return true;
}

bool holdsControl(const char* name) {
  for (const char* p = name; *p != '\0'; ++p)
    if (static_cast<unsigned char>(*p) < 0x20 || static_cast<unsigned char>(*p) == 0x7F) return true;
  return false;
}

// The stored name, as UTF-8 when the archive used another code page. A name
// holding control bytes stays as stored: converted, they would turn into
// harmless-looking symbols, and the name checks are to see and refuse them.
std::string displayName(zip_t* zip, zip_uint64_t index, const char* raw) {
  if (plainAscii(raw) || holdsControl(raw)) return raw;
  const char* guessed = zip_get_name(zip, index, ZIP_FL_ENC_GUESS);
  return guessed != nullptr ? guessed : raw;
}

// The Unix file type sits in the high half of the external attributes, the
// MS-DOS attribute bits in the low byte.
void readKind(zip_t* zip, zip_uint64_t index, ArchiveRecord& record) {
  zip_uint8_t opsys = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(zip, index, 0, &opsys, &attributes) != 0) return;
  const auto unixType = static_cast<mode_t>(attributes >> 16) & S_IFMT;
  const bool unixy = opsys == ZIP_OPSYS_UNIX || opsys == ZIP_OPSYS_OS_X;
  record.isLink = unixy && unixType == S_IFLNK;
  // A folder by its attributes only when it holds no data, so that a wrong bit never drops a file.
  const bool folderBits = unixy ? unixType == S_IFDIR : (attributes & kDosFolderBit) != 0;
  record.isFolder = record.isFolder || (folderBits && record.size == 0);
}

Result<ArchiveRecord> readRecord(zip_t* zip, zip_uint64_t index) {
  zip_stat_t st;
  zip_stat_init(&st);
  constexpr zip_uint64_t kNeeded = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE;
  if (zip_stat_index(zip, index, ZIP_FL_ENC_RAW, &st) != 0 || (st.valid & kNeeded) != kNeeded)
    return Error{"entry " + std::to_string(index) + " cannot be read (" + zip_strerror(zip) + ")"};
  ArchiveRecord record;
  record.name = displayName(zip, index, st.name);
  record.compressedSize = st.comp_size;
  record.size = st.size;
  if ((st.valid & ZIP_STAT_CRC) != 0) record.crc = st.crc;
  record.isFolder = !record.name.empty() && (record.name.back() == '/' || record.name.back() == '\\');
  readKind(zip, index, record);
  return record;
}

Result<std::vector<ArchiveRecord>> readRecords(zip_t* zip) {
  const zip_int64_t count = zip_get_num_entries(zip, 0);
  // Indices are handed out as int in places that talk to the windows.
  if (count < 0 || count > INT_MAX) return Error{"it claims too many entries"};
  std::vector<ArchiveRecord> records;
  records.reserve(static_cast<std::size_t>(count));
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
    Result<ArchiveRecord> record = readRecord(zip, i);
    if (!record) return record.error();
    records.push_back(std::move(*record));
  }
  return records;
}

Result<std::uint64_t> freeBytesOf(const std::string& folder) {
  struct statvfs info {};
  if (::statvfs(folder.c_str(), &info) != 0)
    return Error{"cannot tell how much room the disk of " + folder + " has: " + std::strerror(errno)};
  std::uint64_t bytes = 0;
  if (__builtin_mul_overflow(static_cast<std::uint64_t>(info.f_bavail), static_cast<std::uint64_t>(info.f_frsize),
                             &bytes))
    return UINT64_MAX;
  return bytes;
}

std::string bytesText(std::uint64_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

class ZipEntryReader final : public EntryReader {
 public:
  explicit ZipEntryReader(zip_file_t* file) : file_(file) {}
  ~ZipEntryReader() override { zip_fclose(file_); }
  ZipEntryReader(const ZipEntryReader&) = delete;
  ZipEntryReader& operator=(const ZipEntryReader&) = delete;

  Result<std::size_t> Read(char* buffer, std::size_t size) override {
    const zip_int64_t n = zip_fread(file_, buffer, size);
    if (n < 0) return Error{zip_file_strerror(file_)};
    return static_cast<std::size_t>(n);
  }

 private:
  zip_file_t* file_;
};

}  // namespace

struct Tzipform::OpenArchive final : EntrySource {
  explicit OpenArchive(zip_t* z) : zip(z) {}
  ~OpenArchive() override { zip_discard(zip); }
  OpenArchive(const OpenArchive&) = delete;
  OpenArchive& operator=(const OpenArchive&) = delete;

  Result<std::unique_ptr<EntryReader>> Open(std::size_t index) override {
    zip_file_t* file = zip_fopen_index(zip, index, 0);
    if (file == nullptr) return Error{zip_strerror(zip)};
    return std::unique_ptr<EntryReader>(std::make_unique<ZipEntryReader>(file));
  }

  zip_t* zip;
};

Tzipform::Tzipform() = default;
Tzipform::~Tzipform() = default;

void Tzipform::Clear() {
  records_.clear();
  path_.clear();
  archive_.reset();
  upperNames_.clear();
  nameIndex_.clear();
}

Status Tzipform::ListArchive(const std::string& path) {
  Clear();
  Result<OpenedZip> opened = openZip(path);
  if (!opened) return opened.error();
  auto archive = std::make_unique<OpenArchive>(opened->zip);
  Result<std::vector<ArchiveRecord>> records = readRecords(archive->zip);
  if (!records) return Error{ErrorKind::Damaged, "the archive " + path + " is damaged: " + records.error().text};
  if (Status apart = checkLayout(archive->zip, *opened->file, *records); !apart)
    return Error{ErrorKind::Damaged, "the archive " + path + " is damaged: " + apart.error().text};
  records_ = std::move(*records);
  path_ = path;
  archive_ = std::move(archive);
  return {};
}

std::optional<std::size_t> Tzipform::FindArchiveEntry(std::string_view text) const {
  if (upperNames_.size() != records_.size()) {
    upperNames_.clear();
    upperNames_.reserve(records_.size());
    for (const ArchiveRecord& r : records_) upperNames_.push_back(UpperCaseUmlaut(r.name));
  }
  const std::string wanted = UpperCaseUmlaut(text);
  for (std::size_t i = 0; i < upperNames_.size(); ++i)
    if (upperNames_[i].find(wanted) != std::string::npos) return i;
  return std::nullopt;
}

// A plain name is looked up (an install asks for its entries one by one, and
// a scan per call would make it quadratic); a wildcard is matched against
// every name. Both ignore ASCII case, as the wildcard matcher does.
std::vector<std::size_t> Tzipform::Select(std::string_view selection) const {
  std::vector<std::size_t> selected;
  if (selection == "*.*") {
    for (std::size_t i = 0; i < records_.size(); ++i) selected.push_back(i);
  } else if (selection.find_first_of("*?") != std::string_view::npos) {
    for (std::size_t i = 0; i < records_.size(); ++i)
      if (WildcardMatch(selection, records_[i].name)) selected.push_back(i);
  } else {
    if (nameIndex_.empty())
      for (std::size_t i = 0; i < records_.size(); ++i) nameIndex_[lowerAsciiCopy(records_[i].name)].push_back(i);
    auto it = nameIndex_.find(lowerAsciiCopy(selection));
    if (it != nameIndex_.end()) selected = it->second;
  }
  return selected;
}

// Every selected entry is told to the observer, also when nothing could be
// written, so a progress count always reaches its total.
void Tzipform::TellDone(const std::vector<std::size_t>& selected, ExtractObserver* observer) const {
  if (observer != nullptr)
    for (std::size_t i : selected) observer->EntryDone(records_[i], records_[i].size);
}

Report Tzipform::ExtractArchive(std::string_view selection, const std::string& folder, bool keepFolders, bool overwrite,
                                ExtractObserver* observer) {
  const std::vector<std::size_t> selected = Select(selection);
  if (selected.empty()) return {};
  Result<Placement> into = Placement::Open(folder);
  if (into) return Extract(selected, *into, keepFolders, overwrite, observer);
  Report report;
  report.skip(folder, "nothing was extracted: " + into.error().text);
  TellDone(selected, observer);
  return report;
}

Report Tzipform::ExtractArchive(std::string_view selection, Placement& into, bool keepFolders, bool overwrite,
                                ExtractObserver* observer) {
  return Extract(Select(selection), into, keepFolders, overwrite, observer);
}

Report Tzipform::ExtractEntry(std::size_t index, Placement& into, bool keepFolders, bool overwrite,
                              ExtractObserver* observer) {
  if (index >= records_.size()) return {};
  return Extract({index}, into, keepFolders, overwrite, observer);
}

// Declared sizes are what the files will hold: an entry never writes more.
// A hostile archive may declare sizes near 2^64, so the sum saturates.
Status Tzipform::CheckRoom(const std::vector<std::size_t>& selected, Placement& into, bool keepFolders,
                           bool overwrite) const {
  std::uint64_t needed = 0;
  for (std::size_t i : selected)
    if (WillWrite(into, records_[i], keepFolders, overwrite) &&
        __builtin_add_overflow(needed, records_[i].size, &needed))
      needed = UINT64_MAX;
  if (needed == 0) return {};
  Result<std::uint64_t> free = freeSpace_ ? freeSpace_(into.root()) : freeBytesOf(into.root());
  if (!free) return free.error();
  if (needed <= *free) return {};
  return Error{ErrorKind::NoRoom, "its files need " + bytesText(needed) + ", and the disk of " + into.root() + " has only " +
               bytesText(*free) + " free"};
}

Status Tzipform::CheckRoomForAll(Placement& into, bool keepFolders, bool overwrite) const {
  std::vector<std::size_t> all(records_.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
  return CheckRoom(all, into, keepFolders, overwrite);
}

Report Tzipform::Extract(const std::vector<std::size_t>& selected, Placement& into, bool keepFolders, bool overwrite,
                         ExtractObserver* observer) {
  Report report;
  if (selected.empty()) return report;
  if (Status room = CheckRoom(selected, into, keepFolders, overwrite); !room) {
    report.skip(path_, "nothing was extracted: " + room.error().text);
    TellDone(selected, observer);
    return report;
  }
  ExtractRun run{into, keepFolders, overwrite, observer, report, std::vector<char>(kChunkBytes)};
  for (std::size_t i : selected) {
    fdk::ExtractEntry(run, *archive_, i, records_[i]);
    if (observer != nullptr) observer->EntryDone(records_[i], records_[i].size);
  }
  return report;
}

}  // namespace fdk
