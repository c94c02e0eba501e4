// The importer's unpacking of xz and gzip input: corrupt or cut-short data is
// an error and never a partial text; plain bytes come back as they are.
#include "fuzz_support.h"

#include "tools/import/packed_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    const std::string bytes(fuzz::bytesOf(data, size));
    const Packing packing = packingOf(bytes);
    const UnpackedText unpacked = unpack(bytes);
    if (unpacked.error) {
        fuzz::require(unpacked.text.empty());
        fuzz::require(packing != Packing::None);
    } else if (packing == Packing::None) {
        fuzz::require(unpacked.text == bytes);
    }
    return 0;
}
