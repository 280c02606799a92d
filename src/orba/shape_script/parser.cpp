#include "orba/shape_script/parser.h"

#include <algorithm>
#include <set>

#include "orba/shape_script/interpreter.h"
#include "orba/shape_script/lexer.h"

namespace orba::shape_script {
namespace {

// The argument letters of `call` as a signature (see CommandForm).
std::string SignatureOf(const Expression& call) {
  std::string signature;
  for (const Expression& argument : call.arguments) {
    signature += argument.kind == Expression::Kind::kNumber   ? 'n'
                 : argument.kind == Expression::Kind::kString ? 's'
                                                              : 'c';
  }
  return signature;
}

class Parser {
 public:
  Parser(std::string_view stereotype, std::string_view text)
      : stereotype_(stereotype), tokens_(Tokenize(stereotype, text)) {}

  Script ParsedScript() {
    Script script{std::string(stereotype_), {}};
    while (Next().kind != Token::Kind::kEnd) script.shapes.push_back(ParseShape());
    CheckNamesUnique(script.shapes);
    if (FindSubShape(script, {}, "main").empty()) {
      throw ErrorAt(stereotype_, Next().position, "the script has no shape \"main\"");
    }
    for (const Shape& shape : script.shapes) CheckSubShapes(script, {&shape});
    return script;
  }

 private:
  Shape ParseShape() {
    ExpectKeyword("shape");
    const Token name = Expect(Token::Kind::kName, "a shape's name");
    Shape shape{LowerCase(name.text), name.position, {}, {}};
    ExpectSymbol("{");
    while (!IsSymbol("}")) {
      if (IsKeyword("shape")) {
        shape.shapes.push_back(ParseShape());
      } else {
        shape.statements.push_back(ParseStatement());
      }
    }
    ExpectSymbol("}");
    CheckNamesUnique(shape.shapes);
    return shape;
  }

  Statement ParseStatement() {
    const Token name = Expect(Token::Kind::kName, "a statement or \"}\"");
    const std::string keyword = LowerCase(name.text);
    if (keyword == "if") return ParseIf(name.position);
    Statement statement;
    statement.position = name.position;
    if (keyword == "return") {
      statement.kind = Statement::Kind::kReturn;
    } else if (IsSymbol("=")) {
      ++at_;
      statement.kind = Statement::Kind::kAssignment;
      statement.attribute = keyword;
      if (!IsAttribute(keyword)) Fail(name, "unknown attribute \"" + name.text + "\"");
      const Token value = Expect(Token::Kind::kString, "a string");
      statement.expression = {Expression::Kind::kString, value.position, 0, value.text, {}};
    } else {
      statement.expression = ParseCall(name);
      CheckCommand(statement.expression, CommandRole::kDrawing);
    }
    ExpectSymbol(";");
    return statement;
  }

  // The if statement whose keyword is at `position`.
  Statement ParseIf(Position position) {
    Statement statement;
    statement.kind = Statement::Kind::kIf;
    statement.position = position;
    ExpectSymbol("(");
    statement.expression = ParseCall(Expect(Token::Kind::kName, "a condition"));
    CheckCommand(statement.expression, CommandRole::kCondition);
    ExpectSymbol(")");
    statement.then_branch = ParseBlock();
    if (IsKeyword("else")) {
      ++at_;
      statement.else_branch = ParseBlock();
    }
    return statement;
  }

  std::vector<Statement> ParseBlock() {
    ExpectSymbol("{");
    std::vector<Statement> statements;
    while (!IsSymbol("}")) statements.push_back(ParseStatement());
    ExpectSymbol("}");
    return statements;
  }

  Expression ParseCall(const Token& name) {
    Expression call{Expression::Kind::kCall, name.position, 0, LowerCase(name.text), {}};
    ExpectSymbol("(");
    if (IsSymbol(")")) {
      ++at_;
      return call;
    }
    call.arguments.push_back(ParseArgument());
    while (IsSymbol(",")) {
      ++at_;
      call.arguments.push_back(ParseArgument());
    }
    ExpectSymbol(")");
    return call;
  }

  Expression ParseArgument() {
    const Token& token = Next();
    ++at_;
    switch (token.kind) {
      case Token::Kind::kNumber:
        return {Expression::Kind::kNumber, token.position, std::stod(token.text), "", {}};
      case Token::Kind::kString:
        return {Expression::Kind::kString, token.position, 0, token.text, {}};
      case Token::Kind::kName: {
        Expression call = ParseCall(token);
        CheckCommand(call, CommandRole::kColour);
        return call;
      }
      default: Fail(token, "expected an argument, found " + Describe(token));
    }
  }

  // `call` names a command of `role` and has an argument list it accepts.
  void CheckCommand(const Expression& call, CommandRole role) const {
    const CommandForm* form = FindCommand(call.text);
    if (form == nullptr) Fail(call.position, "unknown command \"" + call.text + "\"");
    if (form->role != role) {
      static const char* const kRoleNames[] = {"a drawing command", "a condition", "a colour"};
      Fail(call.position, "\"" + call.text + "\" is not " + kRoleNames[static_cast<int>(role)]);
    }
    const std::string signature = SignatureOf(call);
    if (std::ranges::find(form->signatures, signature) != form->signatures.end()) return;
    std::string accepted;
    for (std::string_view one : form->signatures) {
      accepted += (accepted.empty() ? "" : " or ") + ArgumentList(one);
    }
    Fail(call.position,
         "\"" + call.text + "\" takes " + accepted + ", not " + ArgumentList(signature));
  }

  // "(number, string, colour)" for the signature "nsc".
  static std::string ArgumentList(std::string_view signature) {
    std::string list;
    for (char letter : signature) {
      list += (list.empty() ? "" : ", ") + std::string(letter == 'n'   ? "number"
                                                       : letter == 's' ? "string"
                                                                       : "colour");
    }
    return "(" + list + ")";
  }

  void CheckNamesUnique(const std::vector<Shape>& shapes) const {
    std::set<std::string> names;
    for (const Shape& shape : shapes) {
      if (!names.insert(shape.name).second) {
        Fail(shape.position, "a second shape \"" + shape.name + "\" at this level");
      }
    }
  }

  // Every addsubshape in the last shape of `path`, and in those nested in
  // it, names a shape it reaches.
  void CheckSubShapes(const Script& script, std::vector<const Shape*> path) const {
    CheckSubShapeCalls(script, path, path.back()->statements);
    for (const Shape& nested : path.back()->shapes) {
      path.push_back(&nested);
      CheckSubShapes(script, path);
      path.pop_back();
    }
  }

  void CheckSubShapeCalls(const Script& script, const std::vector<const Shape*>& path,
                          const std::vector<Statement>& statements) const {
    for (const Statement& statement : statements) {
      CheckSubShapeCalls(script, path, statement.then_branch);
      CheckSubShapeCalls(script, path, statement.else_branch);
      const Expression& call = statement.expression;
      if (statement.kind != Statement::Kind::kCall || call.text != "addsubshape") continue;
      const Expression& name = call.arguments.front();
      if (FindSubShape(script, path, LowerCase(name.text)).empty()) {
        Fail(name.position, "no shape \"" + name.text + "\" for addsubshape");
      }
    }
  }

  const Token& Next() const { return tokens_[at_]; }
  bool IsSymbol(std::string_view symbol) const {
    return Next().kind == Token::Kind::kSymbol && Next().text == symbol;
  }
  bool IsKeyword(std::string_view keyword) const {
    return Next().kind == Token::Kind::kName && LowerCase(Next().text) == keyword;
  }

  Token Expect(Token::Kind kind, std::string_view what) {
    if (Next().kind != kind) {
      Fail(Next(), "expected " + std::string(what) + ", found " + Describe(Next()));
    }
    return tokens_[at_++];
  }
  void ExpectSymbol(std::string_view symbol) {
    if (!IsSymbol(symbol)) {
      Fail(Next(), "expected \"" + std::string(symbol) + "\", found " + Describe(Next()));
    }
    ++at_;
  }
  void ExpectKeyword(std::string_view keyword) {
    if (!IsKeyword(keyword)) {
      Fail(Next(), "expected \"" + std::string(keyword) + "\", found " + Describe(Next()));
    }
    ++at_;
  }

  static std::string Describe(const Token& token) {
    switch (token.kind) {
      case Token::Kind::kEnd: return "the end of the script";
      case Token::Kind::kString: return "the string \"" + token.text + "\"";
      default: return "\"" + token.text + "\"";
    }
  }

  [[noreturn]] void Fail(const Token& token, const std::string& problem) const {
    Fail(token.position, problem);
  }
  [[noreturn]] void Fail(Position position, const std::string& problem) const {
    throw ErrorAt(stereotype_, position, problem);
  }

  std::string_view stereotype_;
  std::vector<Token> tokens_;
  size_t at_ = 0;
};

}  // namespace

Script ParseScript(std::string_view stereotype, std::string_view text) {
  return Parser(stereotype, text).ParsedScript();
}

}  // namespace orba::shape_script
