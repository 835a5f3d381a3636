// Byte sources the decoders read from: a file, or bytes in memory (the
// fuzzing harnesses and the icon's embedded images use the latter).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace picture {

class Source {
 public:
  virtual ~Source() = default;
  // Reads up to `count` bytes at the current position; fewer at the end.
  virtual std::size_t read(void* data, std::size_t count) = 0;
  // Moves to `position`; a position past the end makes later reads give 0.
  virtual void seek(std::uint64_t position) = 0;
  virtual std::uint64_t position() const = 0;
  virtual std::uint64_t size() const = 0;

  // Reads exactly `count` bytes of a part that must be read whole; raises
  // Error("Stream read error") when the source ends before.
  void readWhole(void* data, std::size_t count);
  // Bytes left from the current position to the end.
  std::uint64_t remaining() const;
};

class MemorySource final : public Source {
 public:
  MemorySource(const void* data, std::size_t size);
  std::size_t read(void* data, std::size_t count) override;
  void seek(std::uint64_t position) override { position_ = position; }
  std::uint64_t position() const override { return position_; }
  std::uint64_t size() const override { return size_; }

 private:
  const unsigned char* data_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
};

// A file opened for reading. The constructor raises
// Error("Cannot open file "<absolute path>". <reason>") when it cannot open.
class FileSource final : public Source {
 public:
  explicit FileSource(const std::string& path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::size_t read(void* data, std::size_t count) override;
  void seek(std::uint64_t position) override;
  std::uint64_t position() const override { return position_; }
  std::uint64_t size() const override { return size_; }

 private:
  std::FILE* file_ = nullptr;
  std::uint64_t size_ = 0;
  std::uint64_t position_ = 0;
  bool positioned_ = true;  // the stream's own position equals position_
};

// A window [offset, offset + length) of another source, seen as a source of
// its own (an image inside an icon file).
class WindowSource final : public Source {
 public:
  WindowSource(Source& base, std::uint64_t offset, std::uint64_t length);
  std::size_t read(void* data, std::size_t count) override;
  void seek(std::uint64_t position) override { position_ = position; }
  std::uint64_t position() const override { return position_; }
  std::uint64_t size() const override { return length_; }

 private:
  Source& base_;
  std::uint64_t offset_, length_, position_ = 0;
};

// The text of "Cannot open file" for `path` with the system's reason for
// error number `error`: the absolute path, and the reason without trailing
// blanks, control characters and full stops.
std::string CannotOpenMessage(const std::string& path, int error);

// A system's reason text without its trailing blanks, control characters and
// full stops ("Access is denied.\r\n" gives "Access is denied").
std::string TrimReason(std::string reason);

}  // namespace picture
