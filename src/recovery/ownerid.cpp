#include "recovery/ownerid.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string BootId()
{
    std::ifstream in("/proc/sys/kernel/random/boot_id");
    std::string strId;
    std::getline(in, strId);
    return strId;
}

// The start time of a process in clock ticks after boot (field 22 of its
// stat file), or 0 when there is no such process.
std::uint64_t ProcessStartTime(std::uint32_t nPid)
{
    std::ifstream in("/proc/" + std::to_string(nPid) + "/stat");
    std::string strStat;
    std::getline(in, strStat);
    // The command name (field 2) may hold blanks and parentheses: count from
    // the last closing one.
    const std::size_t nParen = strStat.rfind(')');
    if (nParen == std::string::npos)
        return 0;
    std::istringstream fields(strStat.substr(nParen + 1));
    std::string strField;
    for (int nField = 3; nField <= 22; ++nField)
        if (!(fields >> strField))
            return 0;
    return std::strtoull(strField.c_str(), nullptr, 10);
}

} // namespace

COwnerId CurrentOwner()
{
    // Read once per process (a child made by fork is another one): the
    // first edit of a document asks, and must not wait for /proc.
    static const std::string strBootId = BootId();
    static thread_local std::uint32_t nKnownPid = 0;
    static thread_local std::uint64_t nKnownStart = 0;
    COwnerId id;
    id.nPid = static_cast<std::uint32_t>(::getpid());
    if (id.nPid != nKnownPid) {
        nKnownStart = ProcessStartTime(id.nPid);
        nKnownPid = id.nPid;
    }
    id.nStartTime = nKnownStart;
    id.strBootId = strBootId;
    return id;
}

bool IsOwnerRunning(const COwnerId &owner)
{
    if (owner.nPid == 0 || owner.strBootId != CurrentOwner().strBootId)
        return false;
    const std::uint64_t nStart = ProcessStartTime(owner.nPid);
    return nStart != 0 && nStart == owner.nStartTime;
}
