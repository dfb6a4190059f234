// Runs a fuzz target without libFuzzer: every argument is an input file or
// a folder of input files, each passed once to the target, in name order.
// Ordinary, sanitizer, valgrind and coverage builds use it to replay the
// seed corpus and the regression inputs as a test.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputFiles(int argc, char** argv)
{
    std::vector<fs::path> files;
    for (int k = 1; k < argc; ++k) {
        const fs::path path(argv[k]);
        if (fs::is_directory(path)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(path))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else {
            files.push_back(path);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<fs::path> files = inputFiles(argc, argv);
    if (files.empty()) {
        std::cerr << "no input files given\n";
        return 1;
    }
    for (const fs::path& file : files) {
        std::ifstream stream(file, std::ios::binary);
        if (!stream) {
            std::cerr << "cannot read " << file << '\n';
            return 1;
        }
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(stream)),
                                              std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::cerr << "replayed " << files.size() << " inputs\n";
    return 0;
}
