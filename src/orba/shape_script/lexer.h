// The lexer of shape scripts: the script's text as tokens.
//
//   name   = letter { letter | digit | "_" }
//   number = [ "-" ] digit { digit } [ "." digit { digit } ]
//   string = '"' { any character but '"' and a line break } '"'
//   symbol = "{" | "}" | "(" | ")" | "," | ";" | "="
//
// Blanks and line breaks separate tokens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "orba/shape_script/syntax.h"

namespace orba::shape_script {

struct Token {
  enum class Kind { kName, kNumber, kString, kSymbol, kEnd };
  Kind kind = Kind::kEnd;
  std::string text;  // as written; a string's text without its quotes
  Position position;
};

// The tokens of `text` (UTF-8), ending with one kEnd. Throws ShapeScriptError
// naming `stereotype` for an unterminated string or a character that starts
// no token.
std::vector<Token> Tokenize(std::string_view stereotype, std::string_view text);

}  // namespace orba::shape_script
