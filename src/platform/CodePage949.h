#pragma once

#include <QByteArray>
#include <QString>

// Conversion between Unicode and the Korean code page 949 (Unified Hangul
// Code, a superset of EUC-KR), through iconv. Older practice texts and the
// score file are stored in it.

// Decodes code page 949 bytes. Bytes that are not valid become U+FFFD; the
// conversion never fails.
QString DecodeCp949(const QByteArray& bytes);

// Encodes text in code page 949. Characters the code page lacks become '?'.
QByteArray EncodeCp949(const QString& text);

// True when `bytes` is well-formed UTF-8 (an empty array is).
bool IsValidUtf8(const QByteArray& bytes);

// Decodes text of unknown encoding, as texts made by hand or on Windows come:
// a byte order mark names UTF-8, UTF-16 LE or UTF-16 BE (and is dropped);
// otherwise well-formed UTF-8 is UTF-8 and anything else code page 949.
QString DecodeText(const QByteArray& bytes);
