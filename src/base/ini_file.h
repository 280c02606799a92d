// IniFile: the parsed lines of an INI file, kept as they stand so that a
// rewrite changes only the line it sets.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/error.h"

namespace base {

// A text that is not an INI file; the message names the origin and line.
class IniError : public Error {
 public:
  using Error::Error;
};

class IniFile {
 public:
  // Parses text (after a UTF-8 byte order mark, if any); throws IniError
  // naming `origin` and the line for a line that is neither blank, a comment
  // (; or #), a [section] nor key=value, and for text holding a zero byte.
  static IniFile Parse(const std::string& text, const std::string& origin);

  // Section and key names compare ignoring ASCII case, as the platform's store does.
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  void Set(const std::string& section, const std::string& key, const std::string& value);
  // The key=value lines of a section in file order, with their line numbers
  // (counted from 1), duplicates included.
  struct Entry {
    std::string key;
    std::string value;
    int line = 0;
    std::string section;
  };
  std::vector<Entry> EntriesOf(const std::string& section) const;
  // The key=value lines of every section, in file order.
  std::vector<Entry> Entries() const;
  // The file again: every line with the line end it had (LF or CR LF).
  std::string Text() const;

 private:
  struct Line {
    std::string text;     // the line as written (without its line end)
    std::string section;  // the section it belongs to
    std::string key;      // non-empty for key=value lines
    bool crlf = false;    // ended in CR LF, written back the same way
    int number = 0;       // line number in the parsed text; 0 for added lines
  };
  Line NewLine(std::string text, const std::string& section, const std::string& key) const;
  std::vector<Line> lines_;
  bool byte_order_mark_ = false;  // the file began with a UTF-8 byte order mark, kept
};

}  // namespace base
