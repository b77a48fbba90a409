#pragma once

#include <QString>

// Escapes a text for use between the quotes of a single-quoted JavaScript string
// literal, so that the literal evaluates to exactly the given text.
//
// Escaped: backslash, both quote characters, every line terminator (LF, CR, U+2028,
// U+2029), the other C0 control characters, DEL and lone UTF-16 surrogates. Every
// other character, including non-ASCII letters and valid surrogate pairs, is kept
// as it is, so an ordinary path reads the same inside the script.
QString escapeJsStringLiteral(const QString& sText);
