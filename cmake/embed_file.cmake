# Writes a C++ source holding the bytes of IN as resource (TYPE, ID).
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\n#include \"resources/resource_table.h\"\nnamespace resources {\nnamespace {\nconst unsigned char kBytes[${size} + 1] = {\n${bytes}0};\n}  // namespace\nextern const EmbeddedResource kResource_${IDENT};\nconst EmbeddedResource kResource_${IDENT} = {\"${TYPE}\", ${ID}, kBytes, ${size}};\n}  // namespace resources\n")
