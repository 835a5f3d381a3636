#include "picture/source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>

#include "picture/messages.h"
#include "picture/picture.h"

namespace picture {

void Source::readWhole(void* data, std::size_t count) {
  if (read(data, count) != count) throw Error(messages::StreamReadError);
}

std::uint64_t Source::remaining() const {
  const std::uint64_t at = position(), end = size();
  return at < end ? end - at : 0;
}

MemorySource::MemorySource(const void* data, std::size_t size)
    : data_(static_cast<const unsigned char*>(data)), size_(size) {}

std::size_t MemorySource::read(void* data, std::size_t count) {
  if (position_ >= size_) return 0;
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - position_));
  if (n) std::memcpy(data, data_ + position_, n);
  position_ += n;
  return n;
}

namespace {

#ifdef _WIN32
int SeekFile(std::FILE* f, std::uint64_t pos) { return _fseeki64(f, static_cast<__int64>(pos), SEEK_SET); }
#else
int SeekFile(std::FILE* f, std::uint64_t pos) { return fseeko(f, static_cast<off_t>(pos), SEEK_SET); }
#endif

}  // namespace

std::string CannotOpenMessage(const std::string& path, int error) {
  std::string full = path;
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (!ec) full = absolute.lexically_normal().string();
  return "Cannot open file \"" + full + "\". " + TrimReason(std::strerror(error));
}

std::string TrimReason(std::string reason) {
  while (!reason.empty()) {
    const unsigned char last = static_cast<unsigned char>(reason.back());
    if (last <= 0x20 || last == 0x7F || last == '.')
      reason.pop_back();
    else
      break;
  }
  return reason;
}

FileSource::FileSource(const std::string& path) {
  errno = 0;
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) throw Error(CannotOpenMessage(path, errno ? errno : ENOENT));
#ifdef _WIN32
  struct _stat64 st;
  const int statResult = _fstat64(_fileno(file_), &st);
#else
  struct stat st;
  const int statResult = fstat(fileno(file_), &st);
#endif
  if (statResult != 0 || (st.st_mode & S_IFMT) == S_IFDIR) {
    const int error = statResult != 0 ? errno : EISDIR;
    std::fclose(file_);
    file_ = nullptr;
    throw Error(CannotOpenMessage(path, error));
  }
  size_ = static_cast<std::uint64_t>(st.st_size);
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
}

FileSource::~FileSource() {
  if (file_) std::fclose(file_);
}

std::size_t FileSource::read(void* data, std::size_t count) {
  if (count == 0 || position_ >= size_) return 0;
  if (!positioned_) {
    if (SeekFile(file_, position_) != 0) return 0;
    positioned_ = true;
  }
  const std::size_t n = std::fread(data, 1, count, file_);
  position_ += n;
  return n;
}

void FileSource::seek(std::uint64_t position) {
  if (position == position_) return;
  position_ = position;
  positioned_ = false;
}

WindowSource::WindowSource(Source& base, std::uint64_t offset, std::uint64_t length)
    : base_(base), offset_(offset), length_(length) {}

std::size_t WindowSource::read(void* data, std::size_t count) {
  if (position_ >= length_) return 0;
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, length_ - position_));
  base_.seek(offset_ + position_);
  const std::size_t got = base_.read(data, n);
  position_ += got;
  return got;
}

}  // namespace picture
