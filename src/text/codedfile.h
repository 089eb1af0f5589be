// A buffer read from and written to a file in the file's own character code.
// The buffer holds Shift-JIS; conversion happens here and nowhere else, and
// only where the file comes back byte for byte.
#pragma once

#include "text/filecode.h"

#include <optional>
#include <string>

class CCrystalTextBuffer;

// What a load found out about the file's code (its text is in the buffer).
struct CFileCodeState
{
    ETextCode eCode = ETextCode::Sjis;
    CTextForms forms;
    ETextProblem eProblem = ETextProblem::None;
    int nProblemLine = 0;
    char32_t cProblem = 0;
    char32_t cProblemOther = 0;
    // The characters beyond Shift-JIS and their codes (empty for Shift-JIS).
    CExtraChars extra{};
    bool IsExact() const { return eProblem == ETextProblem::None; }
};

// Reads the file into the buffer, detecting its code (eAscii for a text that
// decides nothing), or in the code forced. A file that would not come back
// unchanged loads read-only, its state saying why. False (errno set) when the
// file cannot be read.
bool LoadCodedFile(CCrystalTextBuffer &buffer, const std::string &strPath, CFileCodeState &state,
                   ETextCode eAscii = ETextCode::Sjis, std::optional<ETextCode> eForce = std::nullopt);

// Where a save in a code stopped: the line (from 0) and byte offset in it of
// the first character the code cannot hold.
struct CCodedSaveFailure
{
    bool bUnencodable = false;  // false: a file-system error (errno)
    int nLine = 0;
    int nChar = 0;
};

// Writes the buffer in a code through a file put in the target's place in one
// step, with the buffer's line ends (or nLineEndMode), the codes of pExtra as
// their characters. On failure the target is left as it was.
bool SaveCodedFile(CCrystalTextBuffer &buffer, const std::string &strPath, ETextCode eCode, const CTextForms &forms,
                   CCodedSaveFailure *pFailure = nullptr, int nLineEndMode = -1, bool bClearModified = true,
                   const CExtraChars *pExtra = nullptr);

// A message line about a problem of a file's code, UTF-8, for dialogs and the
// command line: which character, on which line, and why.
std::string DescribeCodeProblem(const CFileCodeState &state);
// The character as "「～」(U+301C)", UTF-8.
std::string DescribeCodePoint(char32_t c);

// The state as one line of ASCII, for a record kept on disk that must bring
// a document back in its file's code with its table of extra characters; and
// back (a line written before there were tables reads with an empty one).
// False for a line this program did not write (the state is then left as it
// was).
std::string CodeStateToLine(const CFileCodeState &state);
bool CodeStateFromLine(std::string_view line, CFileCodeState &state);
