#include "orba/shape_script/lexer.h"

#include <cctype>

namespace orba::shape_script {
namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

class Lexer {
 public:
  Lexer(std::string_view stereotype, std::string_view text)
      : stereotype_(stereotype), text_(text) {}

  std::vector<Token> Tokens() {
    std::vector<Token> tokens;
    for (SkipBlanks(); at_ < text_.size(); SkipBlanks()) tokens.push_back(NextToken());
    tokens.push_back({Token::Kind::kEnd, "", position_});
    return tokens;
  }

 private:
  Token NextToken() {
    const Position start = position_;
    const char c = text_[at_];
    if (c == '"') return {Token::Kind::kString, StringText(start), start};
    if (IsLetter(c)) return {Token::Kind::kName, TakeWhile(IsNameCharacter), start};
    if (IsDigit(c) || (c == '-' && at_ + 1 < text_.size() && IsDigit(text_[at_ + 1]))) {
      std::string number = Take();
      number += TakeWhile(IsDigit);
      if (at_ + 1 < text_.size() && text_[at_] == '.' && IsDigit(text_[at_ + 1])) {
        number += Take();
        number += TakeWhile(IsDigit);
      }
      return {Token::Kind::kNumber, number, start};
    }
    if (std::string_view("{}(),;=").find(c) != std::string_view::npos) {
      return {Token::Kind::kSymbol, Take(), start};
    }
    throw ErrorAt(stereotype_, start, "unexpected character \"" + CharacterAt(at_) + "\"");
  }

  static bool IsNameCharacter(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }

  // The string starting at the quote under the cursor, the cursor after it.
  std::string StringText(Position start) {
    Take();
    std::string text;
    while (at_ < text_.size() && text_[at_] != '"' && text_[at_] != '\n' && text_[at_] != '\r') {
      text += Take();
    }
    if (at_ == text_.size() || text_[at_] != '"') {
      throw ErrorAt(stereotype_, start, "unterminated string");
    }
    Take();
    return text;
  }

  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) Take();
  }

  std::string TakeWhile(bool (*belongs)(char)) {
    std::string taken;
    while (at_ < text_.size() && belongs(text_[at_])) taken += Take();
    return taken;
  }

  // The character under the cursor; the cursor moves past it, counting
  // lines and columns (a UTF-8 continuation byte is no new column).
  std::string Take() {
    const char c = text_[at_++];
    if (c == '\n') {
      position_ = {position_.line + 1, 1};
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++position_.column;
    }
    return std::string(1, c);
  }

  // The whole UTF-8 character starting at byte `at`.
  std::string CharacterAt(size_t at) const {
    size_t end = at + 1;
    while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80) ++end;
    return std::string(text_.substr(at, end - at));
  }

  std::string_view stereotype_;
  std::string_view text_;
  size_t at_ = 0;
  Position position_;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view stereotype, std::string_view text) {
  return Lexer(stereotype, text).Tokens();
}

}  // namespace orba::shape_script
