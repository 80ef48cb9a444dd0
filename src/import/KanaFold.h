#pragma once

#include <QString>
#include <QStringView>

// Names as the banks print them: half-width kana, small kana as large ones,
// the long vowel as "-", dakuten and handakuten as marks of their own, Latin
// letters in upper case, no spaces. A listed name's reading and a payer's
// text meet in this form.
namespace KanaFold {

// The field width of a payer name in the banks' records.
inline constexpr int FieldWidth = 48;

// The text in the banks' kana. Kana, letters and "-" after kana are kept;
// brackets, "." and "," too, which the legal forms' abbreviations use;
// everything else (kanji included) only when keepOthers is set.
QString bankKana(QStringView text, bool keepOthers = false);

// True for what a name's reading is made of: half-width kana, their marks,
// the long vowel and Latin letters.
bool isReadingChar(QChar c);

// The variant kanji that names use written as the dictionary's: 髙 as 高,
// 﨑 as 崎, 齋 and 齊 as 斎, 邊 and 邉 as 辺, and the like.
QString foldVariants(QStringView text);

} // namespace KanaFold
