// Files: the program's own folder as working directory, line-based text files read and written one
// byte per character, and folder listings.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

namespace media {

// Makes the folder that holds the running executable the working directory. False on failure.
bool chdir_to_executable();

struct Stream;
struct StreamCloser {
  void operator()(Stream* s) const;  // closes without reporting; use close() to learn of failures
};
using StreamPtr = std::unique_ptr<Stream, StreamCloser>;

StreamPtr read_file(const std::string& path);
StreamPtr write_file(const std::string& path);  // creates or truncates
// Bytes up to a line feed, a zero byte or the end; carriage returns skipped. "" at the end.
std::string read_line(Stream& s);
bool end_of_file(Stream& s);
// The text's bytes, then CR LF.
bool write_line(Stream& s, const std::string& text);
bool close(StreamPtr& s);  // flushes; false when anything failed to write

struct Dir;
struct DirCloser {
  void operator()(Dir* d) const;
};
using DirPtr = std::unique_ptr<Dir, DirCloser>;
DirPtr read_dir(const std::string& path);
std::string next_file(Dir& d);  // every entry, "." and ".." included; "" at the end
void close_dir(DirPtr& d);

// Writes the bytes to a new file beside path (path + ".new"), flushes it to disk, then renames it
// over path, so that path always holds either the old or the new content. False on failure (the old
// file is kept, the new one removed), with errno's value in *error_number when asked.
bool replace_file(const std::string& path, const std::string& bytes, int* error_number = nullptr);
// The same for lines, each followed by CR LF.
bool replace_file_lines(const std::string& path, const std::string* lines, size_t count);

// Parses a whole number: leading blanks, an optional sign, digits up to the first non-digit; 0 when
// there is no number.
int parse_whole_number(const std::string& s);

}  // namespace media
