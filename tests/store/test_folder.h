// Real folders and files for the store's tests.
#pragma once

#include <functional>
#include <string>

#include "store/store.h"

namespace store::testing {

// A new empty folder under the system's temporary folder, removed with all
// it holds when the object goes. Open to every user, so that a child
// process running as another user can work in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path, ending with the separator (a CurrentDir).
  const std::string& dir() const { return dir_; }
  std::string path(const std::string& name) const { return dir_ + name; }

 private:
  std::string dir_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
void MakeFolder(const std::string& path);
void SetMode(const std::string& path, unsigned mode);

// Runs check as an ordinary user and gives what it returned: in a child
// process that drops to the user "nobody" when the tests run as root (where
// permission bits stop no write), or right here otherwise.
std::string RunAsOrdinaryUser(const std::function<std::string()>& check);

// What f raised as store::Error, or "no error".
std::string ErrorOf(const std::function<void()>& f);

}  // namespace store::testing
