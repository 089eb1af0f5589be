#include "syntax/linesource.h"

#include "text/textbuffer.h"

#include <cstring>

int CBufferLineSource::GetLineCount() const
{
    return m_buffer.GetLineCount();
}

int CBufferLineSource::GetLineLength(int nLine) const
{
    return m_buffer.GetLineLength(nLine);
}

const char *CBufferLineSource::GetLineText(int nLine) const
{
    return m_buffer.GetLineText(nLine);
}

CMemoryLineSource::CMemoryLineSource(const std::vector<std::string_view> &lines)
{
    for (std::string_view line : lines)
        AddLine(line);
}

void CMemoryLineSource::AddLine(std::string_view line)
{
    CLine entry;
    entry.nLength = static_cast<int>(line.size());
    if (!line.empty()) {
        entry.pText.reset(new char[line.size()]);
        std::memcpy(entry.pText.get(), line.data(), line.size());
    }
    m_aLines.push_back(std::move(entry));
}

void CMemoryLineSource::SetText(std::string_view text)
{
    m_aLines.clear();
    std::size_t nStart = 0;
    while (nStart < text.size()) {
        const std::size_t nEnd = text.find('\n', nStart);
        if (nEnd == std::string_view::npos) {
            AddLine(text.substr(nStart));
            return;
        }
        AddLine(text.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
}
