// The parser of shape scripts: a recursive-descent parser of this grammar
// (tokens as in lexer.h; keywords and names in any letter case):
//
//   script     = { shape } ;
//   shape      = "shape" name "{" { shape | statement } "}" ;
//   statement  = name "=" string ";"                          (* attribute *)
//              | call ";"                                     (* command *)
//              | "if" "(" call ")" block [ "else" block ]     (* call: a condition *)
//              | "return" ";" ;
//   block      = "{" { statement } "}" ;
//   call       = name "(" [ argument { "," argument } ] ")" ;
//   argument   = number | string | call ;
//
// Beyond the grammar it checks what the interpreter will need: every command
// is one the interpreter knows (interpreter.h), in its place (a drawing
// command as a statement, a condition in an if, a colour as an argument),
// with an argument list it accepts; every attribute is known; every
// addsubshape names a shape it can reach; the script has a top-level shape
// "main" and no two shapes of one level share a name.
#pragma once

#include <string_view>

#include "orba/shape_script/syntax.h"

namespace orba::shape_script {

// Parses `text`, the script of `stereotype`. Throws ShapeScriptError naming
// the stereotype, the line and the column of the first problem.
Script ParseScript(std::string_view stereotype, std::string_view text);

}  // namespace orba::shape_script
