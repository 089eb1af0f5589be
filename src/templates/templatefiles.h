// The template folder's contents as the program sees them: which names may
// become template files and which files of the folder are templates. A
// template is a plain file; its name is used unchanged as the file name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Whether a name can be a template's file name within the folder: not empty,
// no "/" (which would reach into or out of another folder), not "." or "..",
// no NUL byte.
bool IsValidTemplateName(std::string_view strName);

// The names of the templates in a folder: its plain files (a link to a plain
// file counts), without hidden files and without subfolders, sorted by name.
// Empty when the folder cannot be read.
std::vector<std::string> ListTemplateFiles(const std::string &strFolder);
