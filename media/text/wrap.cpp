#include "media/text/wrap.hpp"

namespace media {
namespace {

bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Appends the lines of one paragraph (no line ends in it).
void wrap_paragraph(std::string_view para, int width, const std::function<int(const std::string&)>& measure,
                    std::vector<std::string>& lines) {
  std::string line;
  size_t i = 0;
  while (i < para.size()) {
    const size_t space = para.find(' ', i);
    const std::string_view word = para.substr(i, space == std::string_view::npos ? std::string_view::npos : space - i);
    i = space == std::string_view::npos ? para.size() : space + 1;
    if (word.empty()) continue;
    std::string joined = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (measure(joined) <= width) {
      line = std::move(joined);
      continue;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    line.clear();
    // The word alone: broken between characters while it is too wide.
    for (size_t c = 0; c < word.size();) {
      size_t next = c + 1;
      while (next < word.size() && continues(word[next])) ++next;
      std::string longer = line + std::string(word.substr(c, next - c));
      if (!line.empty() && measure(longer) > width) {
        lines.push_back(std::move(line));
        longer = std::string(word.substr(c, next - c));
      }
      line = std::move(longer);
      c = next;
    }
  }
  lines.push_back(std::move(line));
}

}  // namespace

std::vector<std::string> wrap_lines(std::string_view text, int width, const std::function<int(const std::string&)>& measure) {
  std::vector<std::string> lines;
  for (size_t start = 0;;) {
    const size_t end = text.find('\n', start);
    wrap_paragraph(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start), width,
                   measure, lines);
    if (end == std::string_view::npos) return lines;
    start = end + 1;
  }
}

}  // namespace media
