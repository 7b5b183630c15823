// Any bytes as a replay file: reading must never crash, and whatever reads
// as a recording must write back to bytes that read as the same recording.
// Most inputs are also tried behind a valid header and checksum, so the
// fuzzer gets past them to the recording itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "world/Recording.h"

namespace {

const std::string version = "fuzz";

void readAndWriteBack(const std::string& bytes)
{
    const std::optional<replay::Recording> read = replay::decode(bytes, version);
    if (!read)
        return;
    const std::string written = replay::encode(*read);
    const std::optional<replay::Recording> again = replay::decode(written, version);
    if (!again || replay::encode(*again) != written)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    readAndWriteBack(bytes);
    readAndWriteBack(replay::sealed(replay::fileHeader(version) + bytes));
    return 0;
}
