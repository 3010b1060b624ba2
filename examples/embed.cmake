# Writes a C header holding the bytes of IN as the array sample_png.
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" body "${body}")
file(WRITE ${OUT} "static const unsigned char sample_png[] = {\n${body}\n};\n")
