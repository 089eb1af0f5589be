// The iconv plumbing of the codec and CNkfLibrary: a handle closed on every path and a
// streaming conversion that hands what iconv refuses to a fallback, so that
// nothing is dropped.
#pragma once

#include <cerrno>
#include <iconv.h>
#include <string>
#include <string_view>

// iconv handle that is closed on every path.
class CIconv
{
public:
    CIconv(const char *pszTo, const char *pszFrom) : m_cd(iconv_open(pszTo, pszFrom)) {}
    ~CIconv()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    CIconv(const CIconv &) = delete;
    CIconv &operator=(const CIconv &) = delete;
    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Output that takes converted bytes and bytes kept as they stood alike.
struct CAppendSink
{
    std::string &out;
    void Converted(const char *p, std::size_t n) { out.append(p, n); }
    void Raw(const unsigned char *p, std::size_t n)
    {
        out.append(reinterpret_cast<const char *>(p), n);
    }
};

// Streams text through iconv into sink. Where iconv stops at a sequence it
// cannot convert, fallback hands the sink a form of it (or the bytes as they
// stand) and returns how many input bytes it took.
template <typename Sink, typename Fallback>
void IconvStream(iconv_t cd, std::string_view in, Sink &sink, Fallback fallback)
{
    char buf[1 << 15];
    char *pin = const_cast<char *>(in.data());
    std::size_t inleft = in.size();
    while (inleft > 0) {
        char *pout = buf;
        std::size_t outleft = sizeof buf;
        const std::size_t r = iconv(cd, &pin, &inleft, &pout, &outleft);
        const int nErr = errno;
        sink.Converted(buf, static_cast<std::size_t>(pout - buf));
        if (r != static_cast<std::size_t>(-1) || nErr == E2BIG)
            continue;
        const std::size_t nTaken = fallback(reinterpret_cast<const unsigned char *>(pin), inleft, sink);
        pin += nTaken;
        inleft -= nTaken;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

// Opens the converter and streams; without iconv every byte is kept.
template <typename Sink, typename Fallback>
void IconvConvert(const char *pszTo, const char *pszFrom, std::string_view in, Sink &sink,
                  Fallback fallback)
{
    CIconv cd(pszTo, pszFrom);
    if (cd.IsOpen())
        IconvStream(cd.Get(), in, sink, fallback);
    else
        sink.Raw(reinterpret_cast<const unsigned char *>(in.data()), in.size());
}
