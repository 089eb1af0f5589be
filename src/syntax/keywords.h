// The keyword lists of the language routines and the word tests on them. Each
// list keeps its entries in their original order, duplicates included; an
// entry that holds a byte no word can hold ('$', '#', a space) never matches.
#pragma once

extern const char *const g_apszCppKeywords[];     // case-sensitive
extern const char *const g_apszCppKeywords2[];    // Win32 type names, case-sensitive
extern const char *const g_apszVBKeywords[];      // regardless of case
extern const char *const g_apszPerlKeywords[];    // case-sensitive
extern const char *const g_apszPascalKeywords[];  // regardless of case
extern const char *const g_apszHtmlTagNames[];    // upper case; words are compared upper-cased
extern const char *const g_apszHtmlAttributeNames[];

// Number of entries before the terminating null entry.
int KeywordListSize(const char *const *ppszList);

// The lookups of the routines: the same answers as IsKeywordInList on the
// list with its case rule, without scanning the whole list.
bool IsCppKeyword(const char *pszWord, int nLength);
bool IsCppKeyword2(const char *pszWord, int nLength);
bool IsVBKeyword(const char *pszWord, int nLength);
bool IsPerlKeyword(const char *pszWord, int nLength);
bool IsPascalKeyword(const char *pszWord, int nLength);

// HTML tag and attribute names, compared with the word upper-cased.
bool IsHtmlTagName(const char *pszWord, int nLength);
bool IsHtmlAttributeName(const char *pszWord, int nLength);

// The colour a routine gives a word by its lists, in one lookup; 0 for a word
// in none. C and C++: COLORINDEX_KEYWORD for the first list, otherwise
// COLORINDEX_KEYWORD2 for the second. HTML: COLORINDEX_TAG for a tag name,
// otherwise COLORINDEX_TAGOPTION for an attribute name. The script languages:
// COLORINDEX_KEYWORD.
int CppKeywordColor(const char *pszWord, int nLength);
int HtmlNameColor(const char *pszWord, int nLength);
int VBKeywordColor(const char *pszWord, int nLength);
int PerlKeywordColor(const char *pszWord, int nLength);
int PascalKeywordColor(const char *pszWord, int nLength);

// A number inside a tag: as IsNumberToken, or '#' followed by hexadecimal
// digits (colour values).
bool IsHtmlNumberToken(const char *pszWord, int nLength);
