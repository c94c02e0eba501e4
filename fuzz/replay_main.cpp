// Runs the fuzz target over saved inputs, for compilers without libFuzzer.
// Each argument is an input file or a folder of them.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replayFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    int failures = 0;
    for (int arg = 1; arg < argc; ++arg) {
        std::vector<std::filesystem::path> inputs;
        std::error_code error;
        if (std::filesystem::is_directory(argv[arg], error)) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[arg], error)) {
                inputs.push_back(entry.path());
            }
        } else {
            inputs.emplace_back(argv[arg]);
        }
        for (const auto& input : inputs) {
            (replayFile(input) ? replayed : failures) += 1;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return failures == 0 && replayed > 0 ? 0 : 1;
}
