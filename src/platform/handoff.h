// Files handed to the main frame: the payloads of codes 100 (a path) and 101
// ("path\tline"), and the framing in which a second instance sends them over
// the per-user channel. Anything malformed or too long is refused whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct CHandoff
{
    std::string strPath;
    int nLine = 0;  // 1-based; 0 when the code carries no line
};

// Reads a payload of code 100 or 101 (a terminating NUL is allowed); false
// for another code or a malformed payload. Line numbers below 1 mean 1.
bool ParseHandoff(int nCode, std::string_view payload, CHandoff &handoff);

// Code 0 on the channel only asks the first instance to come to the front.
inline constexpr int HANDOFF_ACTIVATE = 0;
inline constexpr std::size_t HANDOFF_MAX_PAYLOAD = 8192;

// "WPHO", the code and the payload's length as 32-bit little-endian numbers,
// then the payload.
std::string EncodeHandoffMessage(int nCode, std::string_view payload);

enum EHandoffDecode
{
    HANDOFF_INCOMPLETE,  // more bytes are needed
    HANDOFF_COMPLETE,
    HANDOFF_INVALID,     // not a message of ours, an unknown code, or too long
};
EHandoffDecode DecodeHandoffMessage(std::string_view bytes, int &nCode, std::string &strPayload);
