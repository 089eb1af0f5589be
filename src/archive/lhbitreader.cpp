#include "archive/lhbitreader.h"

#include <algorithm>
#include <cstring>

std::size_t CMemoryByteSource::Read(unsigned char *p, std::size_t n)
{
    n = std::min(n, m_nLeft);
    if (n > 0)
        std::memcpy(p, m_p, n);
    m_p += n;
    m_nLeft -= n;
    return n;
}

void CLhBitReader::Fill()
{
    while (m_nCount <= 56) {
        if (m_nPos == m_nEnd && !m_bEnd) {
            m_nPos = 0;
            m_nEnd = m_source.Read(m_aBuf.data(), m_aBuf.size());
            m_nBytesRead += m_nEnd;
            m_bEnd = m_nEnd == 0;
        }
        if (m_nPos < m_nEnd)
            m_nWord |= std::uint64_t(m_aBuf[m_nPos++]) << (56 - m_nCount);
        else
            m_nPadding += 8;
        m_nCount += 8;
    }
}
