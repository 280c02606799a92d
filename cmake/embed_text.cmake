# Writes a C++ source defining the text of the file IN as `const char NAME[]`
# in namespace NAMESPACE, as a raw string literal (the file must not hold
# the literal's closing sequence `)orba_text"`).
file(READ "${IN}" text)
string(FIND "${text}" ")orba_text\"" closing)
if(NOT closing EQUAL -1)
  message(FATAL_ERROR "${IN} holds )orba_text\" and cannot be embedded as a raw string")
endif()
file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\nnamespace ${NAMESPACE} {\nextern const char ${NAME}[];\nconst char ${NAME}[] = R\"orba_text(${text})orba_text\";\n}  // namespace ${NAMESPACE}\n")
