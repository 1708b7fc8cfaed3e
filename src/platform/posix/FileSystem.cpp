#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Error.h"
#include "platform/Utf8.h"

namespace port {

namespace {

std::string NativePath(std::u16string_view aPath) { return ToUtf8(aPath); }

std::u16string SystemErrorText(int aErrno) {
  char buffer[256] = {};
  // The GNU strerror_r answers a pointer that need not be the buffer.
  const char* text = strerror_r(aErrno, buffer, sizeof buffer);
  return FromUtf8(text ? text : "");
}

int OpenForWriting(const std::string& aPath, int aFlags) {
  int fd;
  do {
    fd = open(aPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | aFlags, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Takes the whole-file write lock of this open file description; false when another description
// (another writer) holds a conflicting lock.
bool LockWholeFile(int aFd) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  lock.l_pid = 0;  // required to be 0 for open-file-description locks
  return fcntl(aFd, F_OFD_SETLK, &lock) == 0;
}

bool WriteAll(int aFd, const std::string& aBytes) {
  const char* p = aBytes.data();
  size_t left = aBytes.size();
  while (left > 0) {
    ssize_t n = write(aFd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

class PosixFileWriteLock final : public FileWriteLock {
 public:
  explicit PosixFileWriteLock(int aFd) : fFd(aFd) {}
  ~PosixFileWriteLock() override { close(fFd); }

 private:
  int fFd;
};

// mkdir of aPath, then of missing parents from the top down. Returns the errno that stopped it
// (0 on success).
int MakeFolders(const std::string& aPath) {
  if (aPath.empty()) return 0;
  if (mkdir(aPath.c_str(), 0777) == 0 || errno == EEXIST) return 0;
  if (errno != ENOENT) return errno;
  size_t end = aPath.find_last_not_of('/');
  size_t slash = end == std::string::npos ? std::string::npos : aPath.rfind('/', end);
  if (slash == std::string::npos || slash == 0) return ENOENT;
  int parent = MakeFolders(aPath.substr(0, slash));
  if (parent != 0) return parent;
  return mkdir(aPath.c_str(), 0777) == 0 || errno == EEXIST ? 0 : errno;
}

}  // namespace

char16_t PathSeparator() { return u'/'; }
bool IsPathSeparator(char16_t aChar) { return aChar == u'/'; }
bool IsPathRooted(std::u16string_view aPath) { return !aPath.empty() && aPath[0] == u'/'; }

bool FileExists(std::u16string_view aPath) {
  struct stat st {};
  return stat(NativePath(aPath).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

int64_t FileSize(std::u16string_view aPath) {
  struct stat st {};
  if (stat(NativePath(aPath).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool RenameFile(std::u16string_view aFrom, std::u16string_view aTo) {
  std::string from = NativePath(aFrom), to = NativePath(aTo);
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: check, then rename.
  struct stat st {};
  if (lstat(to.c_str(), &st) == 0) return false;
  return rename(from.c_str(), to.c_str()) == 0;
}

void CreateFolders(std::u16string_view aPath) {
  if (aPath.find(u'\0') != std::u16string_view::npos) throw tVX_Error(SystemErrorText(EINVAL));
  int error = MakeFolders(NativePath(aPath));
  if (error == ENAMETOOLONG) throw tVX_Error(SystemErrorText(error));
}

bool CreateEmptyFile(std::u16string_view aPath) {
  int fd = OpenForWriting(NativePath(aPath), O_EXCL);
  if (fd >= 0) return close(fd) == 0;
  return errno == EEXIST && FileExists(aPath);
}

bool AppendToFile(std::u16string_view aPath, const std::string& aBytes) {
  int fd = OpenForWriting(NativePath(aPath), O_APPEND);
  if (fd < 0) return false;
  bool ok = LockWholeFile(fd) && WriteAll(fd, aBytes);
  // Closing the description releases its lock.
  if (close(fd) != 0) ok = false;
  return ok;
}

std::unique_ptr<FileWriteLock> LockFileForWriting(std::u16string_view aPath) {
  int fd = OpenForWriting(NativePath(aPath), 0);
  if (fd < 0) return nullptr;
  if (!LockWholeFile(fd)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFileWriteLock>(fd);
}

}  // namespace port
