// The conversions of the sample plug-in, apart from its exports so that they
// can be tried on their own.
#pragma once

#include <string>

// Hiragana, the hiragana iteration marks and half-width katakana (with their
// sound marks) of a Shift-JIS text as full-width katakana; other bytes as
// they are.
std::string SampleToKatakana(const std::string &strText);

// A date as a Japanese era date in Shift-JIS ("令和元年5月1日"); before the
// Meiji era's solar calendar, the Western year.
std::string SampleEraDate(int nYear, int nMonth, int nDay);
