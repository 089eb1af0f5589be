// Helpers of the archive tests: reading an archive back through libarchive
// and through lhasa, snapshots of folder trees, and archives built by hand (stored ZIP entries
// with any name, flag and type; raw LZH entries) for the cases no honest
// archiver writes.
#pragma once

#include "archive/archivelib.h"
#include "archive/lh5encoder.h"
#include "archive/lzhwriter.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

// Name (as this system names files; folders end in '/') -> bytes.
using CTree = std::map<std::string, std::string>;

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
        else {
            std::ifstream in(it->path(), std::ios::binary);
            tree[strRel] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    return tree;
}

inline void MakeTree(const std::string &strRoot, const CTree &tree)
{
    for (const auto &[strName, strData] : tree) {
        const std::filesystem::path path = std::filesystem::path(strRoot) / strName;
        if (strName.back() == '/') {
            std::filesystem::create_directories(path);
            continue;
        }
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << strData;
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

inline std::string WriteStoredZip(const std::vector<CZipEntry> &aEntries)
{
    auto put16 = [](std::string &s, unsigned v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&put16](std::string &s, std::uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    };
    std::string strOut;
    std::string strCentral;
    for (const CZipEntry &e : aEntries) {
        const std::uint32_t nOffset = static_cast<std::uint32_t>(strOut.size());
        const unsigned nFlags = e.bUtf8Flag ? 0x800 : 0;
        const std::uint32_t nCrc = Crc32(e.strData);
        put32(strOut, 0x04034b50);
        put16(strOut, 20);
        put16(strOut, nFlags);
        put16(strOut, 0);  // stored
        put16(strOut, 0);
        put16(strOut, 0x5821);  // a DOS date in 2024
        put32(strOut, nCrc);
        put32(strOut, static_cast<std::uint32_t>(e.strData.size()));
        put32(strOut, static_cast<std::uint32_t>(e.strData.size()));
        put16(strOut, static_cast<unsigned>(e.strName.size()));
        put16(strOut, 0);
        strOut += e.strName + e.strData;

        put32(strCentral, 0x02014b50);
        put16(strCentral, 0x0314);  // made on Unix, so the mode below counts
        put16(strCentral, 20);
        put16(strCentral, nFlags);
        put16(strCentral, 0);
        put16(strCentral, 0);
        put16(strCentral, 0x5821);
        put32(strCentral, nCrc);
        put32(strCentral, static_cast<std::uint32_t>(e.strData.size()));
        put32(strCentral, static_cast<std::uint32_t>(e.strData.size()));
        put16(strCentral, static_cast<unsigned>(e.strName.size()));
        put16(strCentral, 0);
        put16(strCentral, 0);
        put16(strCentral, 0);
        put16(strCentral, 0);
        put32(strCentral, static_cast<std::uint32_t>(e.nUnixMode) << 16);
        put32(strCentral, nOffset);
        strCentral += e.strName;
    }
    const std::uint32_t nCentralAt = static_cast<std::uint32_t>(strOut.size());
    strOut += strCentral;
    put32(strOut, 0x06054b50);
    put16(strOut, 0);
    put16(strOut, 0);
    put16(strOut, static_cast<unsigned>(aEntries.size()));
    put16(strOut, static_cast<unsigned>(aEntries.size()));
    put32(strOut, static_cast<std::uint32_t>(strCentral.size()));
    put32(strOut, nCentralAt);
    put16(strOut, 0);
    return strOut;
}

// --- LZH by hand ------------------------------------------------------------

// A stored (-lh0-) entry with any name bytes; nMode may carry a file type.
inline std::string RawLzhEntry(const std::string &strName, const std::string &strData, unsigned nMode = 0644)
{
    CLzhEntry entry;
    entry.strName = strName;
    entry.nMode = nMode;
    entry.nMTime = 1700000000;
    return BuildLzhHeader("-lh0-", entry, static_cast<std::uint32_t>(strData.size()),
                          static_cast<std::uint32_t>(strData.size()), LzhCrc16(0, strData.data(), strData.size())) +
           strData;
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
// them: level 0 keeps the whole path in the name (folders after '\'),
// level 1 the bare name with the folder in an extended header (parts ended
// by 0xFF). strPacked is the method's data for the original strData.
inline std::string Level0LzhEntry(const std::string &strMethod, const std::string &strName,
                                  const std::string &strPacked, const std::string &strData)
{
    auto put16 = [](std::string &s, unsigned v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&put16](std::string &s, std::uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    };
    std::string body = strMethod;
    put32(body, static_cast<std::uint32_t>(strPacked.size()));
    put32(body, static_cast<std::uint32_t>(strData.size()));
    put32(body, 0x58210000);  // a DOS time in 2024
    body += '\x20';
    body += '\0';  // level
    body += static_cast<char>(strName.size());
    body += strName;
    put16(body, LzhCrc16(0, strData.data(), strData.size()));
    unsigned nSum = 0;
    for (unsigned char c : body)
        nSum += c;
    return std::string(1, static_cast<char>(body.size())) + static_cast<char>(nSum & 0xFF) + body + strPacked;
}

inline std::string Level1LzhEntry(const std::string &strMethod, const std::string &strFolder,
                                  const std::string &strName, const std::string &strPacked, const std::string &strData)
{
    auto put16 = [](std::string &s, unsigned v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&put16](std::string &s, std::uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    };
    // The folder header: its size counts its type, its data and the next size.
    std::string ext;
    if (!strFolder.empty()) {
        ext += '\x02';
        ext += strFolder;
    }
    const std::size_t nExtSize = ext.empty() ? 0 : ext.size() + 2;
    std::string body = strMethod;
    // At level 1 the packed size counts the extended headers too.
    put32(body, static_cast<std::uint32_t>(strPacked.size() + nExtSize));
    put32(body, static_cast<std::uint32_t>(strData.size()));
    put32(body, 0x58210000);
    body += '\x20';
    body += '\x01';
    body += static_cast<char>(strName.size());
    body += strName;
    put16(body, LzhCrc16(0, strData.data(), strData.size()));
    body += 'M';
    put16(body, static_cast<unsigned>(nExtSize));
    unsigned nSum = 0;
    for (unsigned char c : body)
        nSum += c;
    std::string s = std::string(1, static_cast<char>(body.size())) + static_cast<char>(nSum & 0xFF) + body;
    if (!ext.empty()) {
        s += ext;
        put16(s, 0);
    }
    return s + strPacked;
}
