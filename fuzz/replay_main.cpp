// Runs the fuzz target over saved inputs, for compilers without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int failures = 0;
    for (int arg = 1; arg < argc; ++arg) {
        std::ifstream in(argv[arg], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[arg]);
            ++failures;
            continue;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%d inputs replayed\n", argc - 1 - failures);
    return failures == 0 ? 0 : 1;
}
