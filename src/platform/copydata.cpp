#include "platform/copydata.h"

namespace {

std::function<bool(int, const std::string &)> &Receiver()
{
    static std::function<bool(int, const std::string &)> fn;
    return fn;
}

} // namespace

bool SendCopyData(int nCode, const std::string &strPayload)
{
    return Receiver() && Receiver()(nCode, strPayload);
}

void SetCopyDataReceiver(std::function<bool(int nCode, const std::string &strPayload)> fnReceiver)
{
    Receiver() = std::move(fnReceiver);
}
