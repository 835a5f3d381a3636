#include <array>
#include <optional>

#include "store/ini_file.h"
#include "store/platform.h"
#include "store/store.h"

namespace store {
namespace {

constexpr std::string_view InfoSection = "Info";
constexpr std::array<std::string_view, 5> RecordKeys = {"Type", "Name", "Desc", "Screenshot", "File"};

// program.desc is a few hundred bytes; anything past this is not one, and
// reading it whole into memory is not worth the risk.
constexpr std::size_t DescriptionCapacity = LongTextCapacity;

std::string DescriptionPath(const std::string& currentDir) { return currentDir + std::string(DescriptionFileName); }
std::string MemoPath(const std::string& currentDir) { return currentDir + std::string(LongTextFileName); }

// A relative folder is not a place on disk (the tree gives a virtual
// folder's display name as its path): it holds nothing and takes nothing.
bool IsFolderOnDisk(const std::string& currentDir) { return platform::IsAbsolute(currentDir); }

[[noreturn]] void ThrowUnableToWrite(const std::string& descriptionPath) {
  throw Error("Unable to write to " + descriptionPath);
}

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, int code) {
  throw Error(std::string(what) + " \"" + path + "\". " + platform::ErrorText(code));
}

// CR or LF would start a line of its own in program.desc, and a NUL would cut
// the value short: such a value cannot be stored as given.
void CheckStorable(const DescriptionRecord& record) {
  const std::array<const std::string*, 5> values = {&record.Type, &record.Name, &record.Desc, &record.Screenshot,
                                                    &record.File};
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i]->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
      throw Error("The value of " + std::string(RecordKeys[i]) +
                  " holds a line break or a zero byte, which program.desc cannot store; nothing was written");
    }
  }
}

std::string NormaliseLineBreaks(std::string_view text) {
  std::string normalised;
  normalised.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      normalised += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      normalised += "\r\n";
    } else {
      normalised += c;
    }
  }
  return normalised;
}

}  // namespace

std::string IncludeSlash(const std::string& path) {
  if (!path.empty() && path.back() == PathSeparator) return path;
  return path + PathSeparator;
}

bool DescriptionExists(const std::string& currentDir) {
  return IsFolderOnDisk(currentDir) && platform::Lookup(DescriptionPath(currentDir)) == platform::EntryKind::File;
}

DescriptionRecord ReadDescription(const std::string& currentDir) {
  if (!DescriptionExists(currentDir)) return {};
  platform::FileContents file;
  try {
    file = platform::ReadFile(DescriptionPath(currentDir), DescriptionCapacity);
  } catch (const platform::SystemError&) {
    return {};  // unreadable reads as missing, as the menu program sees it
  }
  if (file.tooLarge) return {};
  auto values = ini::ReadValues(file.bytes, InfoSection, RecordKeys);
  return {std::move(values[0]), std::move(values[1]), std::move(values[2]), std::move(values[3]),
          std::move(values[4])};
}

std::string ReadLongText(const std::string& currentDir) {
  if (!IsFolderOnDisk(currentDir)) return {};
  const std::string path = MemoPath(currentDir);
  if (platform::Lookup(path) != platform::EntryKind::File) return {};
  platform::FileContents file;
  try {
    file = platform::ReadFile(path, LongTextCapacity);
  } catch (const platform::SystemError& error) {
    ThrowFileError("Cannot open file", path, error.code);
  }
  if (file.tooLarge) throw Error("Text exceeds memo capacity");
  const std::string_view text(file.bytes);
  return NormaliseLineBreaks(text.substr(0, text.find('\0')));
}

void WriteDescription(const std::string& currentDir, const DescriptionRecord& record, const std::string& longText) {
  const std::string descriptionPath = DescriptionPath(currentDir);
  const std::string memoPath = MemoPath(currentDir);
  CheckStorable(record);
  if (!IsFolderOnDisk(currentDir)) ThrowUnableToWrite(descriptionPath);

  // Everything that can refuse is asked before anything is replaced, so a
  // failure leaves both files as they were.
  std::string oldDescription;
  try {
    if (platform::CheckReplaceable(descriptionPath)) {
      auto file = platform::ReadFile(descriptionPath, DescriptionCapacity);
      if (file.tooLarge) ThrowUnableToWrite(descriptionPath);
      oldDescription = std::move(file.bytes);
    }
  } catch (const platform::SystemError&) {
    ThrowUnableToWrite(descriptionPath);
  }
  if (ini::IsUtf16(oldDescription)) {
    throw Error(descriptionPath +
                " is stored as UTF-16 text, which this editor does not write; nothing was changed");
  }
  try {
    platform::CheckReplaceable(memoPath);
  } catch (const platform::SystemError& error) {
    ThrowFileError("Cannot create file", memoPath, error.code);
  }

  const std::array<ini::Entry, 5> entries = {{{RecordKeys[0], record.Type},
                                              {RecordKeys[1], record.Name},
                                              {RecordKeys[2], record.Desc},
                                              {RecordKeys[3], record.Screenshot},
                                              {RecordKeys[4], record.File}}};
  std::optional<platform::Replacement> newDescription;
  try {
    newDescription.emplace(descriptionPath, ini::WriteValues(oldDescription, InfoSection, entries));
  } catch (const platform::SystemError&) {
    ThrowUnableToWrite(descriptionPath);
  }
  std::optional<platform::Replacement> newMemo;
  try {
    newMemo.emplace(memoPath, longText);
  } catch (const platform::SystemError& error) {
    if (platform::IsOutOfSpace(error.code)) throw Error("Stream write error");
    ThrowFileError("Cannot create file", memoPath, error.code);
  }

  try {
    newDescription->Commit();
  } catch (const platform::SystemError&) {
    ThrowUnableToWrite(descriptionPath);
  }
  try {
    newMemo->Commit();
  } catch (const platform::SystemError& error) {
    ThrowFileError("Cannot create file", memoPath, error.code);
  }
}

bool DeleteDescription(const std::string& currentDir) {
  return IsFolderOnDisk(currentDir) && platform::RemoveFile(DescriptionPath(currentDir));
}

}  // namespace store
