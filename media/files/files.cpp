// Line-based text files, folder listings, the program's own folder and safe file replacement.
#include "media/files/files.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "media/files/log.hpp"

namespace media {

struct Stream {
  FILE* file = nullptr;
  bool write_failed = false;
  ~Stream() {
    if (file) std::fclose(file);
  }
};

struct Dir {
  DIR* dir = nullptr;
  ~Dir() {
    if (dir) closedir(dir);
  }
};

void StreamCloser::operator()(Stream* s) const { delete s; }
void DirCloser::operator()(Dir* d) const { delete d; }

namespace {

std::string errno_text() { return std::strerror(errno); }

std::string folder_of(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

StreamPtr open_stream(const std::string& path, const char* mode) {
  FILE* f = std::fopen(path.c_str(), mode);
  if (!f) return nullptr;
  StreamPtr s(new Stream);
  s->file = f;
  return s;
}

bool write_bytes(FILE* f, const std::string& text) {
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size()) return false;
  return std::fwrite("\r\n", 1, 2, f) == 2;
}

// Flushes the folder's entry list to disk, so a rename in it survives a power cut.
bool sync_folder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

bool chdir_to_executable() {
  const std::string link = "/proc/" + std::to_string(getpid()) + "/exe";
  char buf[PATH_MAX];
  const ssize_t n = readlink(link.c_str(), buf, sizeof buf);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) {
    log_error("files", "cannot find the program's own path: " + errno_text());
    return false;
  }
  const std::string folder = folder_of(std::string(buf, static_cast<size_t>(n)));
  if (chdir(folder.c_str()) != 0) {
    log_error("files", "cannot change to " + folder + ": " + errno_text());
    return false;
  }
  return true;
}

StreamPtr read_file(const std::string& path) { return open_stream(path, "rb"); }

StreamPtr write_file(const std::string& path) { return open_stream(path, "wb"); }

std::string read_line(Stream& s) {
  std::string line;
  if (!s.file) return line;
  for (;;) {
    const int c = std::getc(s.file);
    if (c == EOF || c == '\n' || c == 0) break;
    if (c == '\r') continue;
    line.push_back(static_cast<char>(c));
  }
  return line;
}

bool end_of_file(Stream& s) {
  if (!s.file) return true;
  const int c = std::getc(s.file);
  if (c == EOF) return true;
  std::ungetc(c, s.file);
  return false;
}

bool write_line(Stream& s, const std::string& text) {
  if (!s.file) return false;
  if (!write_bytes(s.file, text)) s.write_failed = true;
  return !s.write_failed;
}

bool close(StreamPtr& s) {
  if (!s) return false;
  bool ok = !s->write_failed;
  if (s->file) {
    if (std::fflush(s->file) != 0) ok = false;
    if (std::fclose(s->file) != 0) ok = false;
    s->file = nullptr;
  }
  s.reset();
  return ok;
}

DirPtr read_dir(const std::string& path) {
  DIR* d = opendir(path.c_str());
  if (!d) return nullptr;
  DirPtr dir(new Dir);
  dir->dir = d;
  return dir;
}

std::string next_file(Dir& d) {
  if (!d.dir) return "";
  const dirent* e = readdir(d.dir);
  return e ? std::string(e->d_name) : std::string();
}

void close_dir(DirPtr& d) { d.reset(); }

bool replace_file(const std::string& path, const std::string& bytes, int* error_number) {
  const std::string temp = path + ".new";
  int failure = 0;  // errno of the first step that failed
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    failure = errno;
    log_error("files", "cannot create " + temp + ": " + std::strerror(failure));
    if (error_number) *error_number = failure;
    return false;
  }
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) failure = errno;
  if (!failure && (std::fflush(f) != 0 || ::fsync(fileno(f)) != 0)) failure = errno;
  if (std::fclose(f) != 0 && !failure) failure = errno;
  if (!failure && std::rename(temp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure) {
    log_error("files", "cannot write " + path + ": " + std::strerror(failure));
    std::remove(temp.c_str());
    if (error_number) *error_number = failure;
    return false;
  }
  // The new content is in place; a folder that cannot be synced only weakens crash safety.
  if (!sync_folder(folder_of(path))) log_error("files", "cannot sync the folder of " + path);
  return true;
}

bool replace_file_lines(const std::string& path, const std::string* lines, size_t count) {
  std::string bytes;
  for (size_t i = 0; i < count; ++i) bytes += lines[i] + "\r\n";
  return replace_file(path, bytes);
}

int parse_whole_number(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  // The magnitude is capped at 2^31: enough to reach INT_MIN, and it never overflows.
  constexpr int64_t kLimit = int64_t{INT_MAX} + 1;
  int64_t magnitude = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (s[i] - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  if (negative) return static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

}  // namespace media
