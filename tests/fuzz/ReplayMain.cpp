// Runs a fuzz target without libFuzzer: every argument is an input file or
// a folder of input files, each passed once to the target, in name order.
// Ordinary, sanitizer, valgrind and coverage builds use it to replay the
// seed corpus and the regression inputs as a test.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int k = 1; k < argc; ++k) {
        if (!fs::is_directory(argv[k])) files.emplace_back(argv[k]);
        else
            for (const fs::directory_entry& entry : fs::directory_iterator(argv[k])) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream stream(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        if (!stream) return std::cerr << "cannot read " << file << '\n', 1;
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::cerr << "replayed " << files.size() << " inputs\n";
    return files.empty() ? 1 : 0;
}
