#pragma once
// Files and folders. Paths are module text: on Windows wide paths with "\" (a "/" is accepted as
// a separator too), elsewhere UTF-8 paths with "/". No function here throws except CreateFolders
// for a path that cannot be a valid name.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace port {

// True when aPath names an existing file (not a folder).
bool FileExists(std::u16string_view aPath);

// Size of the file in bytes; -1 when it does not exist, is a folder or cannot be read.
int64_t FileSize(std::u16string_view aPath);

// Renames (moves) a file. Fails, leaving both names untouched, when aTo already exists.
bool RenameFile(std::u16string_view aFrom, std::u16string_view aTo);

// Creates the folder aPath and any missing parents. Throws tVX_Error with the system's error text
// when aPath is not a valid name on this system (characters a path cannot hold, a name too
// long); when the folder merely cannot be created (no permission, a file in the way) it returns
// quietly and later file operations in it fail.
void CreateFolders(std::u16string_view aPath);

// Creates an empty file unless one exists already. True when the file exists afterwards.
bool CreateEmptyFile(std::u16string_view aPath);

// Appends aBytes unchanged to the file (creating it when missing) and closes it again. While the
// bytes are written other programs may read the file but no other writer may hold it (Windows:
// shared for reading only; elsewhere an open-file-description write lock, which a writer that
// holds such a lock, as LockFileForWriting does, makes fail). False on any failure, with nothing
// written when the file could not be opened.
bool AppendToFile(std::u16string_view aPath, const std::string& aBytes);

// A file held open for writing the way another program's writer would hold it, until destroyed.
class FileWriteLock {
 public:
  FileWriteLock() = default;
  virtual ~FileWriteLock() = default;
  FileWriteLock(const FileWriteLock&) = delete;
  FileWriteLock& operator=(const FileWriteLock&) = delete;
};
// Opens (creating when missing) and holds aPath for writing; AppendToFile on it fails meanwhile.
// nullptr when the file cannot be opened.
std::unique_ptr<FileWriteLock> LockFileForWriting(std::u16string_view aPath);

// ---- path text (no file access) ----

char16_t PathSeparator();                  // "\" on Windows, "/" elsewhere
bool IsPathSeparator(char16_t aChar);      // Windows: "\" and "/"; elsewhere "/"
// Absolute or rooted: "/x"; on Windows also "\x", "C:\x", "C:x" and "\\server\share".
bool IsPathRooted(std::u16string_view aPath);

// aName beneath aDirectory: a separator is put between them unless aDirectory is empty or already
// ends with one; a rooted aName is returned as it is.
std::u16string JoinPath(std::u16string_view aDirectory, std::u16string_view aName);
// The part after the last separator (Windows: or after a drive's colon); "" when aPath ends with
// a separator.
std::u16string LastPathComponent(std::u16string_view aPath);
// aPath without the extension of its last component (from that component's last "."), if any.
std::u16string RemoveExtension(std::u16string_view aPath);

}  // namespace port
