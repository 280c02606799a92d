// The syntax tree of a shape script, as the parser (parser.h) makes it and
// the interpreter (interpreter.h) runs it, and the error both throw.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orba::shape_script {

// A script the host cannot read, parse or run; the caller draws the item's
// plain shape instead. The message names the stereotype and the problem.
class ShapeScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Position {
  int line = 1;
  int column = 1;  // in characters, from 1
};

// `text` with its ASCII letters in lower case: names are compared so.
std::string LowerCase(std::string text);

// "shape script of STEREOTYPE, line L, column C: PROBLEM"
ShapeScriptError ErrorAt(std::string_view stereotype, Position position, std::string_view problem);

// A number, a string, or a call such as getuserbordercolor().
struct Expression {
  enum class Kind { kNumber, kString, kCall };
  Kind kind = Kind::kNumber;
  Position position;
  double number = 0;                  // kNumber
  std::string text;                   // kString: the string; kCall: the name in lower case
  std::vector<Expression> arguments;  // kCall
};

struct Statement {
  enum class Kind { kAssignment, kCall, kIf, kReturn };
  Kind kind = Kind::kCall;
  Position position;
  std::string attribute;  // kAssignment: the attribute's name in lower case
  // kAssignment: the string assigned; kCall: the call; kIf: the condition.
  Expression expression;
  std::vector<Statement> then_branch;  // kIf
  std::vector<Statement> else_branch;  // kIf
};

struct Shape {
  std::string name;  // lower case
  Position position;
  std::vector<Statement> statements;
  std::vector<Shape> shapes;  // nested shapes, drawn by addsubshape
};

struct Script {
  std::string stereotype;  // whose script it is, for messages
  std::vector<Shape> shapes;
};

// The shape that addsubshape(name) calls from the last shape of `path` (the
// shapes enclosing it, outermost first): one nested in that shape, else in
// its parent, ..., else at the script's top level. Answers the path to the
// shape found, empty when there is none.
std::vector<const Shape*> FindSubShape(const Script& script, const std::vector<const Shape*>& path,
                                       std::string_view name);

}  // namespace orba::shape_script
