// Entries of LZH archives in the methods libarchive does not decode, read
// from the entry's header on: -lh1- and -lh4- above all through lhasa's
// library, -lh2- and -lh3- (which lhasa lacks) through our own decoders.
// Only the bytes come from here: where they are written, and whether at
// all, stays the extractor's business, as for every other entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CLhasaEntryReader
{
public:
    // Opens the archive and reads the entry header at nHeaderOffset.
    CLhasaEntryReader(const std::string &strArchive, std::int64_t nHeaderOffset);
    ~CLhasaEntryReader();
    CLhasaEntryReader(const CLhasaEntryReader &) = delete;
    CLhasaEntryReader &operator=(const CLhasaEntryReader &) = delete;

    // Whether a file header was read there.
    bool IsOpen() const;
    // "-lh1-" and so on.
    std::string GetMethod() const;
    std::uint64_t GetLength() const;
    std::uint16_t GetCrc() const;
    // Whether the method is one we can decode.
    bool CanDecode() const;

    // The next decoded bytes, 0 at the end of the entry or when the data
    // cannot be decoded further.
    std::size_t Read(void *p, std::size_t n);
    // Whether the decoder found the data damaged (lhasa's decoders do not
    // tell; a short or wrong result shows in the length and CRC).
    bool IsDamaged() const;
    // Archive bytes read so far, headers included.
    std::int64_t GetArchiveBytesRead() const;

    struct CState;

private:
    std::unique_ptr<CState> m_p;
};

// Whether libarchive decodes entries of this LZH method itself.
bool IsLibarchiveLzhMethod(const std::string &strMethod);
