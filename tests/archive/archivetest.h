// Helpers of the archive tests: reading an archive back through libarchive
// and through lhasa, snapshots of folder trees, and archives built by hand (stored ZIP entries
// with any name, flag and type; raw LZH entries) for the cases no honest
// archiver writes.
#pragma once

#include "archive/archive.h"
#include "archive/archivelib.h"
#include "archive/lh5encoder.h"
#include "archive/lzhwriter.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

// Name (as this system names files; folders end in '/') -> bytes.
using CTree = std::map<std::string, std::string>;

// Unpacks an archive with the back end's defaults; its report lands in strOut.
inline int Unpack(const std::string &strArchive, const std::string &strDest, std::string &strOut,
                  bool bOverwrite = false)
{
    CUnpackRequest request{strArchive, strDest, bOverwrite};
    return ArchiveUnpack(request, strOut, nullptr);
}

inline void ExpectLhaInstalled()
{
    ASSERT_NE(RunProgram({"lha", "--version"}).nStatus, 127) << "lhasa's lha is needed (scripts/packages.txt)";
}

// lhasa checks every CRC of the archive, then unpacks it into strFolder (made
// here), where every file of the tree must be.
inline void ExpectLhaAgrees(const std::string &strArchive, const std::string &strFolder, const CTree &tree)
{
    ExpectLhaInstalled();
    const CToolResult test = RunProgram({"lha", "t", strArchive});
    EXPECT_EQ(test.nStatus, 0) << test.strOut << test.strErr;
    ASSERT_EQ(::mkdir(strFolder.c_str(), 0755), 0);
    ASSERT_EQ(RunProgram({"lha", "xq", strArchive}, strFolder).nStatus, 0);
    for (const auto &[strName, strData] : tree) {
        if (strName.back() != '/') {
            EXPECT_TRUE(ReadFileBytes(strFolder + "/" + strName) == strData) << strName;
        }
    }
}

inline CTree ReadArchiveEntries(const std::string &strPath, std::string *pError = nullptr)
{
    CUtf8LocaleScope locale;
    CArchiveReader reader(strPath);
    CTree tree;
    if (!reader.IsOpen()) {
        if (pError)
            *pError = reader.ErrorText();
        return tree;
    }
    archive_entry *pEntry;
    int r;
    while ((r = archive_read_next_header(reader.Get(), &pEntry)) == ARCHIVE_OK) {
        std::string strName = EntryName(pEntry);
        std::string strData;
        if (archive_entry_filetype(pEntry) == AE_IFDIR) {
            if (strName.back() != '/')
                strName += '/';
        } else {
            const void *pBlock;
            std::size_t nSize;
            la_int64_t nOffset;
            int d;
            while ((d = archive_read_data_block(reader.Get(), &pBlock, &nSize, &nOffset)) == ARCHIVE_OK)
                strData.append(static_cast<const char *>(pBlock), nSize);
            if (d != ARCHIVE_EOF && pError)
                *pError = reader.ErrorText();
        }
        tree[strName] = strData;
    }
    if (r != ARCHIVE_EOF && pError)
        *pError = reader.ErrorText();
    return tree;
}

// Everything below a folder; folders end in '/', links read "-> target".
inline CTree SnapshotTree(const std::string &strRoot)
{
    CTree tree;
    namespace fs = std::filesystem;
    for (auto it = fs::recursive_directory_iterator(strRoot); it != fs::recursive_directory_iterator(); ++it) {
        const std::string strRel = it->path().lexically_relative(strRoot).string();
        if (it->is_symlink())
            tree[strRel] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            tree[strRel + "/"] = "";
        else
            tree[strRel] = ReadFileBytes(it->path().string());
    }
    return tree;
}

inline void MakeTree(const std::string &strRoot, const CTree &tree)
{
    for (const auto &[strName, strData] : tree) {
        if (strName.back() == '/')
            std::filesystem::create_directories(std::filesystem::path(strRoot) / strName);
        else
            WriteFiles(strRoot, {{strName, strData}});
    }
}

// --- ZIP by hand: stored entries only --------------------------------------

struct CZipEntry
{
    std::string strName;       // the bytes as stored
    std::string strData;       // for a link, its target
    bool bUtf8Flag = false;
    unsigned nUnixMode = 0100644;  // type and permissions, as Unix zips keep them
};

inline std::uint32_t Crc32(const std::string &s)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : s) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// Little-endian fields, as both formats store them.
inline void Put16(std::string &s, unsigned v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string &s, std::uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

inline std::string WriteStoredZip(const std::vector<CZipEntry> &aEntries)
{
    std::string strOut;
    std::string strCentral;
    for (const CZipEntry &e : aEntries) {
        const std::uint32_t nOffset = static_cast<std::uint32_t>(strOut.size());
        // The fields the local and the central header share: flags, method
        // (stored), a DOS time and date in 2024, CRC, sizes, name length, no extra.
        std::string strCommon;
        Put16(strCommon, e.bUtf8Flag ? 0x800 : 0);
        Put16(strCommon, 0);
        Put32(strCommon, 0x58210000);
        Put32(strCommon, Crc32(e.strData));
        Put32(strCommon, static_cast<std::uint32_t>(e.strData.size()));
        Put32(strCommon, static_cast<std::uint32_t>(e.strData.size()));
        Put16(strCommon, static_cast<unsigned>(e.strName.size()));
        Put16(strCommon, 0);
        Put32(strOut, 0x04034b50);
        Put16(strOut, 20);
        strOut += strCommon + e.strName + e.strData;

        Put32(strCentral, 0x02014b50);
        Put16(strCentral, 0x0314);  // made on Unix, so the mode below counts
        Put16(strCentral, 20);
        strCentral += strCommon;
        Put32(strCentral, 0);  // no comment, disk 0
        Put16(strCentral, 0);
        Put32(strCentral, static_cast<std::uint32_t>(e.nUnixMode) << 16);
        Put32(strCentral, nOffset);
        strCentral += e.strName;
    }
    const std::uint32_t nCentralAt = static_cast<std::uint32_t>(strOut.size());
    strOut += strCentral;
    Put32(strOut, 0x06054b50);
    Put32(strOut, 0);
    Put16(strOut, static_cast<unsigned>(aEntries.size()));
    Put16(strOut, static_cast<unsigned>(aEntries.size()));
    Put32(strOut, static_cast<std::uint32_t>(strCentral.size()));
    Put32(strOut, nCentralAt);
    Put16(strOut, 0);
    return strOut;
}

// --- LZH by hand ------------------------------------------------------------

// Bits, most significant first, for streams made by hand.
class CBitWriter
{
public:
    void Put(std::uint32_t nValue, unsigned nBits)
    {
        for (unsigned i = nBits; i-- > 0;) {
            if (m_nBits % 8 == 0)
                m_str += '\0';
            if ((nValue >> i) & 1)
                m_str.back() = static_cast<char>(m_str.back() | (0x80 >> (m_nBits % 8)));
            ++m_nBits;
        }
    }
    const std::string &Bytes() const { return m_str; }

private:
    std::string m_str;
    std::size_t m_nBits = 0;
};

// An entry of any method whose data is strPacked, for the original strData
// (whose CRC the header carries). nOriginal: the size the header gives, by
// default that of strData; nMode may carry a file type.
inline std::string CompressedEntry(const char *pszMethod, const std::string &strName, const std::string &strPacked,
                                   const std::string &strData, std::uint32_t nOriginal = 0, unsigned nMode = 0644)
{
    CLzhEntry entry{strName, 1700000000, nMode};
    return BuildLzhHeader(pszMethod, entry, static_cast<std::uint32_t>(strPacked.size()),
                          nOriginal ? nOriginal : static_cast<std::uint32_t>(strData.size()),
                          LzhCrc16(0, strData.data(), strData.size())) +
           strPacked;
}

// A stored (-lh0-) entry with any name bytes.
inline std::string RawLzhEntry(const std::string &strName, const std::string &strData, unsigned nMode = 0644)
{
    return CompressedEntry("-lh0-", strName, strData, strData, 0, nMode);
}

// The sample archives in tests/data/archive/lzhmethods.
inline std::string LzhFixture(const std::string &strName)
{
    return std::string(WP_TEST_DATA_DIR) + "/archive/lzhmethods/" + strName;
}

// A little-endian field of nBytes at nAt, as LZH headers store them.
inline std::size_t LzhField(const std::string &strHeader, std::size_t nAt, int nBytes)
{
    std::size_t n = 0;
    for (int k = nBytes; k-- > 0;)
        n = n << 8 | static_cast<unsigned char>(strHeader[nAt + k]);
    return n;
}

// Collects what an encoder writes.
struct CStringSink : CByteSink
{
    std::string s;
    bool Put(const unsigned char *p, std::size_t n) override
    {
        s.append(reinterpret_cast<const char *>(p), n);
        return true;
    }
};

// Data compressed as an -lh5- (or -lh6-, -lh7-) stream.
inline std::string LhCompress(const std::string &strData, ELhStream stream)
{
    CStringSink sink;
    CLh5Encoder encoder(sink, stream);
    encoder.Write(strData.data(), strData.size());
    encoder.Finish();
    return sink.s;
}

// Entries with the older header levels, as LHA for MS-DOS and Windows wrote
// them: level 0 keeps the whole path in the name, level 1 ends its base
// header with the size of the next extended header (here none). strPacked is
// the method's data for the original strData.
inline std::string OldLzhEntry(int nLevel, const std::string &strMethod, const std::string &strName,
                               const std::string &strPacked, const std::string &strData)
{
    std::string body = strMethod;
    Put32(body, static_cast<std::uint32_t>(strPacked.size()));
    Put32(body, static_cast<std::uint32_t>(strData.size()));
    Put32(body, 0x58210000);  // a DOS time in 2024
    body += '\x20';
    body += static_cast<char>(nLevel);
    body += static_cast<char>(strName.size());
    body += strName;
    Put16(body, LzhCrc16(0, strData.data(), strData.size()));
    if (nLevel == 1) {
        body += 'M';
        Put16(body, 0);
    }
    unsigned nSum = 0;
    for (unsigned char c : body)
        nSum += c;
    return std::string(1, static_cast<char>(body.size())) + static_cast<char>(nSum & 0xFF) + body + strPacked;
}
