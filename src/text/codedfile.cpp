#include "text/codedfile.h"

#include "text/codec.h"
#include "text/filehandle.h"
#include "text/fileio.h"
#include "text/kanji.h"
#include "text/textbuffer.h"
#include "text/utf8check.h"

#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The bytes of a file's start that decide whether it is tried as UTF-8.
constexpr std::size_t UTF8_PROBE = 64 * 1024;

// A file's bytes: mapped when it is a regular file, read otherwise. A large
// file is mapped without reading it in ahead, and its descriptor is kept
// open: telling its code takes a few pages, and a Shift-JIS file, loaded as
// it stands, is read again into the text's own memory. UTF-8, decoded from
// the mapping, asks for the rest first.
class CFileBytes
{
public:
    ~CFileBytes()
    {
        if (m_pMap)
            ::munmap(m_pMap, m_nMapped);
    }
    bool Read(const std::string &strPath)
    {
        struct stat st;
        if (::stat(strPath.c_str(), &st) != 0)
            return false;
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        CFileHandle file = CFileHandle::Open(strPath, O_RDONLY);
        if (!file.IsOpen() || ::fstat(file.Get(), &st) != 0)
            return false;
        if (S_ISREG(st.st_mode) && st.st_size > 0) {
            const auto nSize = static_cast<std::size_t>(st.st_size);
            const bool bLarge = nSize >= CCrystalTextBuffer::HALVES_FROM && nSize < static_cast<std::size_t>(INT_MAX);
            void *p = ::mmap(nullptr, nSize, PROT_READ, bLarge ? MAP_PRIVATE : MAP_PRIVATE | MAP_POPULATE,
                             file.Get(), 0);
            if (p != MAP_FAILED) {
                m_pMap = p;
                m_nMapped = nSize;
                ::madvise(p, m_nMapped, MADV_SEQUENTIAL);
                m_bytes = std::string_view(static_cast<const char *>(p), m_nMapped);
                if (bLarge)
                    m_file = std::move(file);
                return true;
            }
        }
        char buf[1 << 16];
        for (;;) {
            const ssize_t n = file.ReadFully(buf, sizeof buf);
            if (n < 0)
                return false;
            if (n == 0)
                break;
            m_strRead.append(buf, static_cast<std::size_t>(n));
        }
        m_bytes = m_strRead;
        return true;
    }
    std::string_view Bytes() const { return m_bytes; }
    // Maps the pages of a mapping made without them (as MAP_POPULATE would
    // have); a kernel without the request leaves them to be mapped as read.
    void ReadAhead() const
    {
        if (m_file.IsOpen())
            ::madvise(m_pMap, m_nMapped, MADV_POPULATE_READ);
    }
    // The file, open, when it can be read again for its load; else -1.
    int ReadAgainFrom() const { return m_file.Get(); }

private:
    void *m_pMap = nullptr;
    std::size_t m_nMapped = 0;
    std::string m_strRead;
    CFileHandle m_file;
    std::string_view m_bytes;
};

// UTF-8 decoded straight into the loader, a block at a time; a malformed
// sequence ends the load so that the file can be taken otherwise.
//
// A file of more than one block is decoded a block ahead on a worker thread
// while the loader cuts the block before it into lines: the two steps take
// about as long, so a large file opens in about the time of one. The decoder
// makes the same calls in the same order either way; only one thread uses it
// at a time, handing it over under the mutex.
class CUtf8Source : public CCrystalTextBuffer::CLoadSource
{
public:
    CUtf8Source(std::string_view bytes, bool bBail)
        : m_decoder(bytes, bBail, bytes.starts_with("\xEF\xBB\xBF"))
    {
        for (CBlock &block : m_aBlocks)
            block.p.reset(new char[BLOCK_BYTES]);
    }
    ~CUtf8Source() override
    {
        if (!m_worker.joinable())
            return;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bQuit = true;
        }
        m_cv.notify_all();
        m_worker.join();
    }
    CUtf8Source(const CUtf8Source &) = delete;
    CUtf8Source &operator=(const CUtf8Source &) = delete;

    std::ptrdiff_t Next(const char *&p) override
    {
        CBlock &block = m_aBlocks[m_nNext];
        if (m_bAhead) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait(lock, [&] { return !m_bFilling; });
            m_bAhead = false;
        } else {
            Fill(block);
        }
        // The block given out before is free again: decode the next one into it.
        m_nNext = 1 - m_nNext;
        if (block.n > 0 && !m_decoder.IsDone())
            Ahead();
        p = block.p.get();
        return block.n;
    }
    // Waits until the worker is idle.
    const CUtf8StreamDecoder &Decoder()
    {
        if (m_worker.joinable()) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait(lock, [&] { return !m_bFilling; });
        }
        return m_decoder;
    }

private:
    static constexpr std::size_t BLOCK_BYTES = 256 * 1024;
    struct CBlock
    {
        std::unique_ptr<char[]> p;
        std::ptrdiff_t n = 0;
    };

    void Fill(CBlock &block)
    {
        const std::size_t n = m_decoder.Decode(block.p.get(), BLOCK_BYTES);
        block.n = m_decoder.IsMalformed() ? -1 : static_cast<std::ptrdiff_t>(n);
    }
    // Has the worker fill m_aBlocks[m_nNext], starting it on first use;
    // without a thread the block is filled when it is asked for.
    void Ahead()
    {
        if (!m_worker.joinable()) {
            try {
                m_worker = std::thread([this] { Work(); });
            } catch (const std::system_error &) {
                return;
            }
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_nFill = m_nNext;
            m_bFilling = true;
        }
        m_bAhead = true;
        m_cv.notify_all();
    }
    void Work()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_cv.wait(lock, [&] { return m_bFilling || m_bQuit; });
            if (m_bQuit)
                return;
            CBlock &block = m_aBlocks[m_nFill];
            lock.unlock();
            Fill(block);
            lock.lock();
            m_bFilling = false;
            m_cv.notify_all();
        }
    }

    CUtf8StreamDecoder m_decoder;
    CBlock m_aBlocks[2];
    int m_nNext = 0;        // the block Next gives out next
    bool m_bAhead = false;  // the worker has been asked to fill it
    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_nFill = 0;          // the block the worker fills
    bool m_bFilling = false;  // it has not finished it yet
    bool m_bQuit = false;
};

// A large UTF-8 file decoded and cut into lines in two halves at once, each
// on its own thread, from a block of its own. The second half starts from
// the state the decoder has at the start of the text; its codes of the table
// are renumbered when both halves met new characters, and when the first
// half met the other form of a dual-form character the second half took the
// shared code for, the second is decoded again on from the first.
class CUtf8Halves : public CCrystalTextBuffer::CHalvesSource
{
public:
    CUtf8Halves(std::string_view bytes, bool bBail, std::size_t nSecondAt)
        : m_first(bytes, bBail, bytes.starts_with("\xEF\xBB\xBF")), m_second(m_first.Split(nSecondAt)),
          m_firstHalf(m_first), m_secondHalf(m_second)
    {
    }
    CCrystalTextBuffer::CLoadSource &First() override { return m_firstHalf; }
    CCrystalTextBuffer::CLoadSource &Second() override { return m_secondHalf; }
    bool SecondStands(char *pBytes, std::size_t nBytes) override
    {
        CExtraRenumbering renumbering;
        if (m_first.Join(m_second, &renumbering)) {
            RenumberExtraCodes(pBytes, nBytes, renumbering);
            return true;
        }
        m_secondHalf.DecodeWith(m_first);
        return false;
    }
    // Once the halves are read, the decoder of the whole text.
    const CUtf8StreamDecoder &Decoder() const { return m_first; }

private:
    class CHalf : public CCrystalTextBuffer::CLoadSource
    {
    public:
        explicit CHalf(CUtf8StreamDecoder &decoder) : m_pDecoder(&decoder) {}
        void DecodeWith(CUtf8StreamDecoder &decoder) { m_pDecoder = &decoder; }
        std::ptrdiff_t Next(const char *&p) override
        {
            if (!m_pBlock)
                m_pBlock = std::make_unique<char[]>(BLOCK_BYTES);
            p = m_pBlock.get();
            return NextInto(m_pBlock.get());
        }
        // Straight into the text: the decoder writes no further than the
        // bytes it reads, so a half never reaches past its own bytes.
        std::ptrdiff_t NextInto(char *pOut) override
        {
            const std::size_t n = m_pDecoder->Decode(pOut, BLOCK_BYTES);
            return m_pDecoder->IsMalformed() ? -1 : static_cast<std::ptrdiff_t>(n);
        }

    private:
        static constexpr std::size_t BLOCK_BYTES = 256 * 1024;
        CUtf8StreamDecoder *m_pDecoder;
        std::unique_ptr<char[]> m_pBlock;
    };

    CUtf8StreamDecoder m_first;
    CUtf8StreamDecoder m_second;
    CHalf m_firstHalf;
    CHalf m_secondHalf;
};

// One try of LoadCodedFile; bChanged when the file changed while it was read.
bool LoadCodedFileOnce(CCrystalTextBuffer &buffer, const std::string &strPath, CFileCodeState &state,
                       ETextCode eAscii, std::optional<ETextCode> eForce, bool &bChanged)
{
    CFileBytes file;
    if (!file.Read(strPath))
        return false;
    const std::string_view bytes = file.Bytes();
    const auto finish = [&](CDecodedText &decoded) {
        state = CFileCodeState{};
        state.eCode = decoded.eCode;
        CopyDecodeFindings(state, std::move(decoded));
        buffer.SetReadOnly(!state.IsExact() || IsFileReadOnly(strPath));
        return true;
    };

    // UTF-8, the common case, is decoded as it is loaded: tried first unless
    // the file's start already rules it out.
    const bool bBom = bytes.starts_with("\xEF\xBB\xBF");
    const bool bTryUtf8 = eForce ? (*eForce == ETextCode::Utf8 || *eForce == ETextCode::Utf8Bom)
                                 : bBom || CheckUtf8(bytes.substr(0, UTF8_PROBE), bytes.size() <= UTF8_PROBE)
                                               != EUtf8Check::Invalid;
    if (bTryUtf8) {
        file.ReadAhead();
        // A large file in two halves at once, otherwise a block ahead.
        std::optional<CUtf8Halves> halvesSource;
        std::optional<CUtf8Source> blockSource;
        CCrystalTextBuffer::CHalves halves;
        bool bLoaded;
        if (CCrystalTextBuffer::FindHalves(bytes, -1, halves)) {
            halvesSource.emplace(bytes, !eForce, halves.nSecondAt);
            bLoaded = buffer.LoadFromHalves(*halvesSource, halves, bytes.size());
        } else {
            blockSource.emplace(bytes, !eForce);
            buffer.FreeAll();
            bLoaded = buffer.LoadFromSource(*blockSource, static_cast<long long>(bytes.size()), -1);
        }
        const CUtf8StreamDecoder &decoder = halvesSource ? halvesSource->Decoder() : blockSource->Decoder();
        if (!bLoaded && !decoder.IsMalformed())
            return false;
        if (bLoaded) {
            CDecodedText decoded = decoder.Result();
            if (eForce) {
                decoded.eCode = *eForce;
                return finish(decoded);
            }
            if (bBom || decoder.IsWide())
                return finish(decoded);
            // Nothing beyond ASCII: the same bytes in every code, unless
            // they are JIS escape sequences.
            if (bytes.find('\x1B') == std::string_view::npos || DetectKanjiCode(bytes) != KANJI_JIS) {
                CDecodedText ascii;
                ascii.eCode = eAscii;
                return finish(ascii);
            }
        }
    }
    // Shift-JIS is the bytes as they stand; EUC-JP and JIS are converted whole.
    CDecodedText decoded;
    if (eForce == ETextCode::Sjis)
        decoded.eCode = ETextCode::Sjis;  // no copy of the bytes it would take as they stand
    else
        decoded = eForce ? DecodeFileTextAs(bytes, *eForce) : DecodeFileText(bytes, eAscii, false);
    const bool bAsIs = decoded.eCode == ETextCode::Sjis;
    CCrystalTextBuffer::CHalves halves;
    bool bLoaded = false;
    if (bAsIs && file.ReadAgainFrom() >= 0 && CCrystalTextBuffer::FindHalves(bytes, -1, halves)) {
        bLoaded = buffer.LoadFileHalves(file.ReadAgainFrom(), halves, bytes.size());
        bChanged = !bLoaded && errno == EAGAIN;
    } else {
        bLoaded = buffer.LoadFromMemory(bAsIs ? bytes : std::string_view(decoded.strText), -1);
    }
    if (!bLoaded)
        return false;
    decoded.strText.clear();
    return finish(decoded);
}

} // namespace

bool LoadCodedFile(CCrystalTextBuffer &buffer, const std::string &strPath, CFileCodeState &state, ETextCode eAscii,
                   std::optional<ETextCode> eForce)
{
    // A file rewritten while it is read is read once more from the start.
    for (int nTry = 0; nTry < 2; ++nTry) {
        bool bChanged = false;
        if (LoadCodedFileOnce(buffer, strPath, state, eAscii, eForce, bChanged))
            return true;
        if (!bChanged)
            return false;
    }
    return false;
}

bool SaveCodedFile(CCrystalTextBuffer &buffer, const std::string &strPath, ETextCode eCode, const CTextForms &forms,
                   CCodedSaveFailure *pFailure, int nLineEndMode, bool bClearModified, const CExtraChars *pExtra)
{
    if (pFailure)
        *pFailure = CCodedSaveFailure();
    // Shift-JIS is the buffer as it stands, unless characters of a table
    // would be written as the codes they borrow.
    if (eCode == ETextCode::Sjis && (!pExtra || pExtra->IsEmpty()))
        return buffer.SaveToFile(strPath, nLineEndMode, bClearModified);

    // Lines are gathered with their separators into a small stage that the
    // encoder takes whole, so that its loops see long runs instead of one
    // short line at a time, and encoded into an output buffer that is written
    // out whenever it fills. A character the code cannot hold gives up the
    // temporary file (with target, which keeps errno), and the target stays
    // as it was.
    constexpr std::size_t STAGE_BYTES = 64 * 1024;
    constexpr std::size_t OUTPUT_BYTES = 1 << 20;
    CAtomicFile target;
    if (!target.Open(strPath))
        return false;
    CTextEncoder encoder(eCode, forms, pExtra);
    const std::string_view sep = LineEndSeparator(nLineEndMode == -1 ? buffer.GetLineEndMode() : nLineEndMode);
    const auto lineAt = [&](int i) {
        return std::string_view(buffer.GetLineText(i), static_cast<std::size_t>(buffer.GetLineLength(i)));
    };
    const auto pOutput = std::make_unique_for_overwrite<char[]>(OUTPUT_BYTES);
    char *const pOutBegin = pOutput.get();
    char *const pOutEnd = pOutBegin + OUTPUT_BYTES;
    char *q = pOutBegin;
    const auto flush = [&] {
        const bool bOk = target.Write(pOutBegin, static_cast<std::size_t>(q - pOutBegin));
        q = pOutBegin;
        return bOk;
    };
    // Encodes bytes that end with a whole character; at a character the code
    // cannot hold, p is left pointing at it.
    const auto encode = [&](const char *&p, const char *pEnd) {
        for (;;) {
            switch (encoder.Encode(p, pEnd, q, pOutEnd)) {
            case CTextEncoder::EStop::Done:
                return true;
            case CTextEncoder::EStop::Full:
                if (!flush())
                    return false;
                break;
            case CTextEncoder::EStop::Unencodable:
                errno = EILSEQ;
                return false;
            }
        }
    };
    const auto fail = [&](int nLine, std::size_t nChar) {
        if (pFailure && errno == EILSEQ) {
            pFailure->bUnencodable = true;
            pFailure->nLine = nLine;
            pFailure->nChar = static_cast<int>(nChar);
        }
        return false;
    };
    const auto pStage = std::make_unique_for_overwrite<char[]>(STAGE_BYTES);
    std::size_t nStaged = 0;
    int nStageLine = 0;  // the line the stage begins with
    const auto encodeStage = [&] {
        const char *p = pStage.get();
        const bool bOk = encode(p, p + nStaged);
        if (!bOk && errno == EILSEQ) {
            // Which staged line holds the character.
            auto nOffset = static_cast<std::size_t>(p - pStage.get());
            int nLine = nStageLine;
            while (nOffset > lineAt(nLine).size()) {
                nOffset -= lineAt(nLine).size() + sep.size();
                ++nLine;
            }
            fail(nLine, nOffset);
        }
        nStaged = 0;
        return bOk;
    };

    const std::string_view preamble = encoder.Preamble();
    if (!preamble.empty())
        std::memcpy(q, preamble.data(), preamble.size());
    q += preamble.size();
    const int nCount = buffer.GetLineCount();
    for (int i = 0; i < nCount; ++i) {
        const std::string_view line = lineAt(i);
        const std::string_view lineSep = i + 1 < nCount ? sep : std::string_view();
        const std::size_t nNeed = line.size() + lineSep.size();
        if (nStaged + nNeed > STAGE_BYTES && !encodeStage())
            return false;
        if (nNeed > STAGE_BYTES) {
            // A long line goes to the encoder as it stands.
            const char *p = line.data();
            if (!encode(p, p + line.size()))
                return fail(i, static_cast<std::size_t>(p - line.data()));
            p = lineSep.data();
            if (!encode(p, p + lineSep.size()))
                return false;
            continue;
        }
        if (nStaged == 0)
            nStageLine = i;
        if (!line.empty())
            std::memcpy(pStage.get() + nStaged, line.data(), line.size());
        if (!lineSep.empty())
            std::memcpy(pStage.get() + nStaged + line.size(), lineSep.data(), lineSep.size());
        nStaged += nNeed;
    }
    if (!encodeStage())
        return false;
    if (pOutEnd - q < static_cast<std::ptrdiff_t>(CTextEncoder::ENCODE_ROOM) && !flush())
        return false;
    encoder.Finish(q);
    if (!flush() || !target.Commit())
        return false;
    if (bClearModified)
        buffer.SetSavePoint();
    return true;
}

std::string DescribeCodePoint(char32_t c)
{
    std::string s = "「";
    if (c >= 0x20 && c != 0x7F)
        AppendUtf8(s, c);
    s += "」";
    char hex[16];
    std::snprintf(hex, sizeof hex, "(U+%04X)", static_cast<unsigned>(c));
    return s + hex;
}

std::string DescribeCodeProblem(const CFileCodeState &state)
{
    const std::string strLine = std::to_string(state.nProblemLine) + " 行目";
    switch (state.eProblem) {
    case ETextProblem::None:
        return std::string();
    case ETextProblem::NoSjisForm:
        if (state.cProblem == 0)
            return strLine + "に Shift-JIS で表せない文字があります。";
        return strLine + "の文字 " + DescribeCodePoint(state.cProblem) + " は Shift-JIS で表せません。";
    case ETextProblem::TwoForms:
        return strLine + "の文字 " + DescribeCodePoint(state.cProblem) + " は、先に使われている "
               + DescribeCodePoint(state.cProblemOther) + " と Shift-JIS では同じ文字になります。";
    case ETextProblem::Malformed:
        return strLine + "に " + TextCodeLabel(state.eCode) + " として正しくないバイトがあります。";
    case ETextProblem::Irregular:
        return strLine + "のエスケープシーケンスは、保存すると違うバイトになります。";
    case ETextProblem::TooManyExtra:
        return strLine + "の文字 " + DescribeCodePoint(state.cProblem) + " で、Shift-JIS にない文字が "
               + std::to_string(EXTRA_CHAR_LIMIT) + " 種類を超えます (1 つの文書に " + std::to_string(EXTRA_CHAR_LIMIT)
               + " 種類まで)。";
    }
    return std::string();
}

// "UTF8 0000010 BB0 1 12 128512 0": the code, which dual-form characters use
// their other form, the JIS escapes (kanji, ASCII, kana shift), then the
// problem, its line and its characters.
std::string CodeStateToLine(const CFileCodeState &state)
{
    std::string s = TextCodeTag(state.eCode);
    s += ' ';
    for (bool bOther : state.forms.abOther)
        s += bOther ? '1' : '0';
    s += ' ';
    s += state.forms.chKanjiIn;
    s += state.forms.chAsciiIn;
    s += state.forms.bKanaShift ? '1' : '0';
    for (std::uint64_t n : {static_cast<std::uint64_t>(state.eProblem), static_cast<std::uint64_t>(state.nProblemLine),
                            static_cast<std::uint64_t>(state.cProblem), static_cast<std::uint64_t>(state.cProblemOther)})
        s += ' ' + std::to_string(n);
    s += ' ';
    s += state.extra.ToWord();
    return s;
}

namespace {

bool ParseNumber(std::string_view field, std::uint64_t nMax, std::uint64_t &n)
{
    if (field.empty() || field.size() > 10)
        return false;
    n = 0;
    for (char ch : field) {
        if (ch < '0' || ch > '9')
            return false;
        n = n * 10 + static_cast<std::uint64_t>(ch - '0');
    }
    return n <= nMax;
}

} // namespace

bool CodeStateFromLine(std::string_view line, CFileCodeState &state)
{
    std::vector<std::string_view> aFields;
    while (!line.empty()) {
        const std::size_t nSpace = line.find(' ');
        aFields.push_back(line.substr(0, nSpace));
        line = nSpace == std::string_view::npos ? std::string_view() : line.substr(nSpace + 1);
    }
    if (aFields.size() != 7 && aFields.size() != 8)
        return false;
    CFileCodeState read;
    if (!ParseTextCodeTag(aFields[0], read.eCode) || aFields[0] != TextCodeTag(read.eCode))
        return false;
    if (aFields[1].size() != read.forms.abOther.size())
        return false;
    for (std::size_t i = 0; i < read.forms.abOther.size(); ++i) {
        if (aFields[1][i] != '0' && aFields[1][i] != '1')
            return false;
        read.forms.abOther[i] = aFields[1][i] == '1';
    }
    const std::string_view jis = aFields[2];
    if (jis.size() != 3 || (jis[0] != 'B' && jis[0] != '@') || (jis[1] != 'B' && jis[1] != 'J')
        || (jis[2] != '0' && jis[2] != '1'))
        return false;
    read.forms.chKanjiIn = jis[0];
    read.forms.chAsciiIn = jis[1];
    read.forms.bKanaShift = jis[2] == '1';
    std::uint64_t nProblem = 0;
    std::uint64_t nLine = 0;
    std::uint64_t nChar = 0;
    std::uint64_t nOther = 0;
    if (aFields.size() == 8 && !read.extra.FromWord(aFields[7]))
        return false;
    if (!ParseNumber(aFields[3], static_cast<std::uint64_t>(ETextProblem::TooManyExtra), nProblem)
        || !ParseNumber(aFields[4], 0x7FFFFFFF, nLine) || !ParseNumber(aFields[5], 0x10FFFF, nChar)
        || !ParseNumber(aFields[6], 0x10FFFF, nOther))
        return false;
    read.eProblem = static_cast<ETextProblem>(nProblem);
    read.nProblemLine = static_cast<int>(nLine);
    read.cProblem = static_cast<char32_t>(nChar);
    read.cProblemOther = static_cast<char32_t>(nOther);
    state = std::move(read);
    return true;
}
