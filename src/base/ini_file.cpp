#include "base/ini_file.h"

#include <string_view>

#include "base/text.h"

namespace base {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool SameName(const std::string& a, const std::string& b) {
  return AsciiLowerCase(a) == AsciiLowerCase(b);
}

}  // namespace

IniFile IniFile::Parse(const std::string& text, const std::string& origin) {
  if (text.find('\0') != std::string::npos) {
    throw IniError(origin + " is not a settings file: it holds binary data");
  }
  IniFile file;
  std::string section;
  file.byte_order_mark_ = text.starts_with(kByteOrderMark);
  size_t start = file.byte_order_mark_ ? kByteOrderMark.size() : 0;
  int number = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    const bool crlf = !line.empty() && line.back() == '\r';
    if (crlf) line.pop_back();
    const std::string trimmed = TrimSpaces(line);
    Line parsed{line, section, "", crlf, number};
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') {
      // blank or comment: kept as it stands
    } else if (trimmed.front() == '[') {
      if (trimmed.back() != ']' || trimmed.size() < 3) {
        throw IniError(origin + ", line " + std::to_string(number) +
                       ": malformed section header \"" + trimmed + "\"");
      }
      section = TrimSpaces(trimmed.substr(1, trimmed.size() - 2));
      parsed.section = section;
    } else {
      const size_t equals = line.find('=');
      if (equals == std::string::npos || TrimSpaces(line.substr(0, equals)).empty()) {
        throw IniError(origin + ", line " + std::to_string(number) +
                       ": expected Key=Value, found \"" + trimmed + "\"");
      }
      parsed.key = TrimSpaces(line.substr(0, equals));
    }
    file.lines_.push_back(std::move(parsed));
  }
  return file;
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
  std::optional<std::string> value;
  for (const Line& line : lines_) {
    if (!line.key.empty() && SameName(line.section, section) && SameName(line.key, key)) {
      value = line.text.substr(line.text.find('=') + 1);
    }
  }
  return value;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
  const std::string text = key + "=" + value;
  // Replace the last occurrence (the one Get reads); else append to the section.
  for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
    if (!line->key.empty() && SameName(line->section, section) && SameName(line->key, key)) {
      line->text = text;
      return;
    }
  }
  auto last_of_section = lines_.end();
  bool header_found = false;
  for (auto line = lines_.begin(); line != lines_.end(); ++line) {
    if (!SameName(line->section, section)) continue;
    if (line->key.empty() && TrimSpaces(line->text).starts_with('[')) header_found = true;
    if (header_found && !TrimSpaces(line->text).empty()) last_of_section = line;
  }
  if (!header_found) {
    if (!lines_.empty() && !TrimSpaces(lines_.back().text).empty())
      lines_.push_back(NewLine("", "", ""));
    lines_.push_back(NewLine("[" + section + "]", section, ""));
    lines_.push_back(NewLine(text, section, key));
    return;
  }
  lines_.insert(last_of_section + 1, NewLine(text, section, key));
}

// Added lines end the way the file's first line does.
IniFile::Line IniFile::NewLine(std::string text, const std::string& section,
                               const std::string& key) const {
  return Line{std::move(text), section, key, !lines_.empty() && lines_.front().crlf, 0};
}

std::vector<IniFile::Entry> IniFile::EntriesOf(const std::string& section) const {
  std::vector<Entry> entries = Entries();
  std::erase_if(entries, [&](const Entry& entry) { return !SameName(entry.section, section); });
  return entries;
}

std::vector<IniFile::Entry> IniFile::Entries() const {
  std::vector<Entry> entries;
  for (const Line& line : lines_) {
    if (line.key.empty()) continue;
    entries.push_back(
        Entry{line.key, line.text.substr(line.text.find('=') + 1), line.number, line.section});
  }
  return entries;
}

std::string IniFile::Text() const {
  std::string text(byte_order_mark_ ? kByteOrderMark : "");
  for (const Line& line : lines_) text += line.text + (line.crlf ? "\r\n" : "\n");
  return text;
}

}  // namespace base
