// Reading the pages of the user manual (HTML in UTF-8, kept to a strict
// form): their tags in order, the anchors that help commands jump to, and
// the problems of a page that a browser would forgive but that make a
// manual wrong (an element never closed, a bare "&" in the text).
//
// Every scan looks only for ASCII delimiters, so the UTF-8 text of a page
// passes through untouched.
#pragma once

#include "html/tagparse.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct CPageTag
{
    // Lower case.
    std::string strName;
    // "</name>".
    bool bEnd = false;
    // "<name ... />".
    bool bSelfClosing = false;
    CTagAttributeMap attributes;
    // The byte of its "<".
    std::size_t nOffset = 0;
};

struct CPageScan
{
    std::vector<CPageTag> aTags;
    // "line N: what is wrong", in page order.
    std::vector<std::string> aProblems;
};

// The tags of a page in order; comments, the doctype and other declarations
// are passed over. The text between tags is checked for what must be
// written as a reference: a "<" that opens no tag, a ">", an "&" that
// starts no character reference.
CPageScan ScanPage(std::string_view page);

// Whether an element never has content and is never closed ("br", "img" ...).
bool IsVoidElement(std::string_view strName);

// Everything ScanPage finds, and the structure: every element other than a
// void one closed, in the order opened; no void element closed; no id given
// twice. Empty for a sound page.
std::vector<std::string> CheckPageMarkup(std::string_view page);

// The id attributes of a page's elements, in order.
std::vector<std::string> PageAnchorIds(std::string_view page);

// The anchors of the manual in a folder: id -> the file name of the page
// ("*.html" directly inside the folder) that holds it. Of an id on two pages
// the page first by name counts. Empty when the folder cannot be read.
std::map<std::string, std::string> ReadManualAnchors(const std::string &strFolder);

// The 1-based line of a byte of a page, for messages.
int PageLineOf(std::string_view page, std::size_t nOffset);
